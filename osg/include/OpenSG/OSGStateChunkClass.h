#pragma once

#include <OpenSG/OSGBaseTypes.h>

#include <string>

OSG_BEGIN_NAMESPACE

// The kind of a state chunk and how many slots of it a State has (a TextureChunk has one
// per texture unit, a PolygonChunk one).
class StateChunkClass {
public:
    StateChunkClass(const Char8* name, UInt32 numSlots);
    StateChunkClass(const StateChunkClass&) = delete;
    StateChunkClass& operator=(const StateChunkClass&) = delete;

    UInt32 getId() const { return _id; }
    const Char8* getName() const { return _name.c_str(); }
    UInt32 getNumSlots() const { return _numSlots; }

    static UInt32 getNumClasses();

private:
    std::string _name;
    UInt32 _numSlots;
    UInt32 _id;
};

OSG_END_NAMESPACE
