#pragma once

#include <morvekBase/XField.h>

#include <string>
#include <vector>

namespace Morvek {

// A list-of-strings field; text is double-quoted strings (\" and \\ escapes) separated by
// white space or commas, optionally within [ ]; "" and "[]" are the empty list.
class MFString : public XField<std::vector<std::string>> {
public:
    explicit MFString(Node& owner);
    MFString(Node& owner, const std::vector<std::string>& init);

    bool storeFromString(const char* text) override;
    std::string getValueString() const override;
    NodePartDataType getDataType() const override { return DataMFString; }
    const char* getClassName() const override { return "MFString"; }
};

} // namespace Morvek
