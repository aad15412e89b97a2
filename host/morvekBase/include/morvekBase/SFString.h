#pragma once

#include <morvekBase/XField.h>

#include <string>

namespace Morvek {

// A string field; text is one double-quoted string with \" and \\ escapes.
class SFString : public XField<std::string> {
public:
    SFString(Node& owner, const std::string& init);

    bool storeFromString(const char* text) override;
    std::string getValueString() const override;
    NodePartDataType getDataType() const override { return DataSFString; }
    const char* getClassName() const override { return "SFString"; }
};

} // namespace Morvek
