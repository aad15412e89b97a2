#include <morvekBase/SFFloat.h>

#include <morvekBase/ClassicEncoding.h>
#include <morvekBase/NodePartDesc.h>

namespace Morvek {

SFFloat::SFFloat(Node& owner, float init) : XField<float>(owner, init) {}

bool SFFloat::storeFromString(const char* text)
{
    float value = 0.f;
    if (!ClassicEncoding::parseFloats(text, &value, 1))
        return false;
    return storeChecked(value);
}

bool SFFloat::storeDefault(const NodePartDesc& row)
{
    const float* value = row.getParsedDefaultFloats();
    return value ? storeChecked(*value) : storeFromString(row.getDefault());
}

bool SFFloat::storeChecked(float value)
{
    double lo = 0, hi = 0;
    if (getDesc() && getDesc()->getRange(lo, hi) && (double(value) < lo || double(value) > hi))
        return false;
    _value = value;
    return true;
}

std::string SFFloat::getValueString() const { return ClassicEncoding::formatFloat(_value); }

} // namespace Morvek
