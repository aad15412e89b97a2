#pragma once

#include <morvekBase/MFString.h>
#include <morvekBase/Node.h>
#include <morvekBase/NodePartDesc.h>

#include <OpenSG/OSGImage.h>

namespace Morvek {

class TextureProc;

// A 2D texture holding one image (type "Texture", pool "ShapeNodePool"). The image lives in
// the processor's osg::TextureChunk; it is set from memory (setImage) or read from a file
// (load, or the `url` field at the next update). Files are read by loadImageFile (ImageFile.h):
// OpenEXR for .exr, stb for .hdr/.png/.jpg, rows stored bottom row of the picture first.
// A file that cannot be read leaves the texture without image and logs one warning line
// naming the file.
class Texture : public Node {
public:
    // Field index 0: `url` (MFString, default empty): image files, the first readable one is
    // used. "file://" prefixes are removed; other URL schemes are not read.
    static constexpr unsigned int urlIndex = 0;
    static constexpr FieldMask urlMask = FieldMask::bit(urlIndex);

    static NodeType& classType();
    static bool isType(Node* node);
    // A new Texture through its type record (NodeType::createNode with CreatorProgram).
    static Texture* create(const char* name = nullptr);

    MFString& url() { return _url; }

    // The processor (null while the node has none).
    TextureProc* getTextureProc() const;

    // Puts `image` into the texture chunk at once (null removes the image).
    void setImage(osg::ImagePtr image);
    osg::ImagePtr getImage() const;
    // Reads the file named by `url` into the texture at once and stores `url` (without
    // announcing) in the url field. False, without image and with one log line, on failure.
    bool load(const char* url);

protected:
    Texture(NodeType& type, NodeNameSpace& nameSpace, const char* name);
    ~Texture() override;

private:
    static Node* createNode(NodeType& type, NodeNameSpace& nameSpace, const char* name);
    static NodeProc* createProc(NodeType& type, Node& node);

    MFString _url;

    static NodePartDesc _desc[];
    static NodeType _type;
};

} // namespace Morvek
