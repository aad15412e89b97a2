#pragma once

#include <morvekBase/XField.h>

namespace Morvek {

// A boolean field; text "TRUE" or "FALSE".
class SFBool : public XField<bool> {
public:
    SFBool(Node& owner, bool init);

    bool storeFromString(const char* text) override;
    bool storeDefault(const NodePartDesc& row) override;
    std::string getValueString() const override;
    NodePartDataType getDataType() const override { return DataSFBool; }
    const char* getClassName() const override { return "SFBool"; }
};

} // namespace Morvek
