#include <morvekShapeNodePool/AppearancePropertyProc.h>

namespace Morvek {

AppearancePropertyProc::AppearancePropertyProc(NodeType& type, Node& node) : NodeProc(type, node) {}

AppearancePropertyProc::AppearancePropertyProc(const AppearancePropertyProc& other)
    : NodeProc(other)
{
}

AppearancePropertyProc& AppearancePropertyProc::operator=(const AppearancePropertyProc& other)
{
    NodeProc::operator=(other);
    return *this;
}

AppearancePropertyProc::~AppearancePropertyProc() = default;

osg::StateChunkPtr AppearancePropertyProc::chunkPtr() { return osg::NullFC; }

} // namespace Morvek
