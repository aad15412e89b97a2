#pragma once

#include <morvekShapeNodePool/AppearancePropertyProc.h>

#include <OpenSG/OSGImage.h>
#include <OpenSG/OSGTextureChunk.h>

#include <string>

namespace Morvek {

// Processor of Texture: owns an osg::TextureChunk (one reference) whose image is the texture's
// image.
class TextureProc : public AppearancePropertyProc {
public:
    TextureProc(NodeType& type, Node& node);
    // A new processor with its own chunk holding the same image.
    TextureProc(const TextureProc& other);
    TextureProc& operator=(const TextureProc& other);
    ~TextureProc() override;

    // On a change of `url`: reads the first listed file that loads (see Texture); an empty
    // list removes the image.
    void nodeChanged(const double& time, const BitVector<unsigned long long>& mask) override;

    // The texture chunk (an osg::TextureChunk), NullFC when OpenSG could not create one.
    osg::StateChunkPtr chunkPtr() override;
    osg::TextureChunkPtr getTextureChunkPtr() const { return _chunkPtr; }

    void setImage(osg::ImagePtr image);
    osg::ImagePtr getImage() const;
    // Reads `url` (a path or file:// URL) into the chunk; on failure the chunk has no image,
    // one warning line names the file, and false is returned.
    bool load(const std::string& url);
    // The file last read successfully, or "".
    const std::string& getLoadedPath() const { return _loadedPath; }

private:
    osg::TextureChunkPtr _chunkPtr;
    std::string _loadedPath;
};

} // namespace Morvek
