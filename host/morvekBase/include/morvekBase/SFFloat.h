#pragma once

#include <morvekBase/XField.h>

namespace Morvek {

// A single-precision float field; text is one finite decimal number, read with correct
// rounding ("1.570796" gives the float nearest to 1.570796).
class SFFloat : public XField<float> {
public:
    SFFloat(Node& owner, float init);

    bool storeFromString(const char* text) override;
    bool storeDefault(const NodePartDesc& row) override;
    std::string getValueString() const override;
    NodePartDataType getDataType() const override { return DataSFFloat; }
    const char* getClassName() const override { return "SFFloat"; }

private:
    // Stores a read value that lies within the row's range, if any.
    bool storeChecked(float value);
};

} // namespace Morvek
