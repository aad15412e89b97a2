#pragma once

#include <morvekBase/NodeProc.h>

#include <OpenSG/OSGStateChunk.h>

namespace Morvek {

// Processor base of appearance properties (textures, ...): each contributes one OpenSG state
// chunk to the materials that use it.
class AppearancePropertyProc : public NodeProc {
public:
    AppearancePropertyProc(NodeType& type, Node& node);
    AppearancePropertyProc(const AppearancePropertyProc& other);
    AppearancePropertyProc& operator=(const AppearancePropertyProc& other);
    ~AppearancePropertyProc() override;

    // The property's state chunk; the base has none (NullFC).
    virtual osg::StateChunkPtr chunkPtr();
};

} // namespace Morvek
