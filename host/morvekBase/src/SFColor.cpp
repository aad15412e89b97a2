#include <morvekBase/SFColor.h>

#include <morvekBase/ClassicEncoding.h>
#include <morvekBase/NodePartDesc.h>

namespace Morvek {

SFColor::SFColor(Node& owner, osg::Color3f init) : XField<osg::Color3f>(owner, init) {}

bool SFColor::storeFromString(const char* text)
{
    float rgb[3];
    if (!ClassicEncoding::parseFloats(text, rgb, 3))
        return false;
    return storeChecked(rgb);
}

bool SFColor::storeDefault(const NodePartDesc& row)
{
    const float* rgb = row.getParsedDefaultFloats();
    return rgb ? storeChecked(rgb) : storeFromString(row.getDefault());
}

bool SFColor::storeChecked(const float* rgb)
{
    for (int i = 0; i < 3; ++i)
        if (rgb[i] < 0.f || rgb[i] > 1.f)
            return false;
    _value.setValuesRGB(rgb[0], rgb[1], rgb[2]);
    return true;
}

std::string SFColor::getValueString() const
{
    return ClassicEncoding::formatFloat(_value.red()) + " " +
           ClassicEncoding::formatFloat(_value.green()) + " " +
           ClassicEncoding::formatFloat(_value.blue());
}

} // namespace Morvek
