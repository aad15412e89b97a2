#include <morvekBase/SFVec3f.h>

#include <morvekBase/ClassicEncoding.h>
#include <morvekBase/NodePartDesc.h>

namespace Morvek {

SFVec3f::SFVec3f(Node& owner, osg::Vec3f init) : XField<osg::Vec3f>(owner, init) {}

bool SFVec3f::storeFromString(const char* text)
{
    float xyz[3];
    if (!ClassicEncoding::parseFloats(text, xyz, 3))
        return false;
    _value.setValues(xyz[0], xyz[1], xyz[2]);
    return true;
}

bool SFVec3f::storeDefault(const NodePartDesc& row)
{
    const float* xyz = row.getParsedDefaultFloats();
    if (!xyz)
        return storeFromString(row.getDefault());
    _value.setValues(xyz[0], xyz[1], xyz[2]);
    return true;
}

std::string SFVec3f::getValueString() const
{
    return ClassicEncoding::formatFloat(_value[0]) + " " + ClassicEncoding::formatFloat(_value[1]) +
           " " + ClassicEncoding::formatFloat(_value[2]);
}

} // namespace Morvek
