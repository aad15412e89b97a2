#pragma once

#include <morvekBase/XField.h>

namespace Morvek {

// A 32-bit signed integer field; text in decimal or 0x hexadecimal. Constructed without a
// value, it holds 0 until its row's default is stored.
class SFInt32 : public XField<int> {
public:
    explicit SFInt32(Node& owner);
    SFInt32(Node& owner, int init);

    bool storeFromString(const char* text) override;
    bool storeDefault(const NodePartDesc& row) override;
    std::string getValueString() const override;
    NodePartDataType getDataType() const override { return DataSFInt32; }
    const char* getClassName() const override { return "SFInt32"; }

private:
    // Stores a read value that lies within the row's range, if any.
    bool storeChecked(int value);
};

} // namespace Morvek
