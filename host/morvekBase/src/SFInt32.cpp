#include <morvekBase/SFInt32.h>

#include <morvekBase/ClassicEncoding.h>
#include <morvekBase/NodePartDesc.h>

namespace Morvek {

SFInt32::SFInt32(Node& owner) : XField<int>(owner) {}

SFInt32::SFInt32(Node& owner, int init) : XField<int>(owner, init) {}

bool SFInt32::storeFromString(const char* text)
{
    int value = 0;
    if (!ClassicEncoding::parseInt32(text, value))
        return false;
    return storeChecked(value);
}

bool SFInt32::storeDefault(const NodePartDesc& row)
{
    const int* value = row.getParsedDefaultInt32();
    return value ? storeChecked(*value) : storeFromString(row.getDefault());
}

bool SFInt32::storeChecked(int value)
{
    double lo = 0, hi = 0;
    if (getDesc() && getDesc()->getRange(lo, hi) && (value < lo || value > hi))
        return false;
    _value = value;
    return true;
}

std::string SFInt32::getValueString() const { return std::to_string(_value); }

} // namespace Morvek
