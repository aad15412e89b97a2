#include <morvekShapeNodePool/Texture.h>

#include <morvekBase/HostLog.h>
#include <morvekBase/TypeCast.h>
#include <morvekCoreNodePool/SceneNodeTypeFactory.h>
#include <morvekShapeNodePool/TextureProc.h>

namespace Morvek {

NodePartDesc Texture::_desc[] = {
    NodePartDesc(NodePartDesc(urlIndex, urlMask, PartExposedField, DataMFString, PartFlagPersistent,
                              "url", nullptr, nullptr, nullptr,
                              "Image files to read; the first readable one is used.", 0),
                 nullptr),
};

NodeType Texture::_type(theSceneNodeTypeFactory(), "Texture", "ShapeNodePool", nullptr, "texture",
                        nullptr, "Texturing", nullptr, "stable",
                        "A 2D texture holding one image, set from memory or read from a file.",
                        "Morvek", false, false, &Texture::isType, &Texture::createNode,
                        &Texture::createProc, _desc, sizeof(_desc) / sizeof(_desc[0]));

NodeType& Texture::classType() { return _type; }

bool Texture::isType(Node* node) { return dynamic_cast<Texture*>(node) != nullptr; }

Texture* Texture::create(const char* name)
{
    return dynamic_cast<Texture*>(_type.createNode(nullptr, name, CreatorProgram));
}

Node* Texture::createNode(NodeType& type, NodeNameSpace& nameSpace, const char* name)
{
    return new Texture(type, nameSpace, name);
}

NodeProc* Texture::createProc(NodeType& type, Node& node) { return new TextureProc(type, node); }

Texture::Texture(NodeType& type, NodeNameSpace& nameSpace, const char* name)
    : Node(type, nameSpace, name), _url(*this)
{
    regField(_url, _type, urlIndex, true);
}

Texture::~Texture() { unregField(urlIndex); }

TextureProc* Texture::getTextureProc() const { return typeCast<TextureProc>(_proc); }

void Texture::setImage(osg::ImagePtr image)
{
    if (TextureProc* proc = getTextureProc())
        proc->setImage(image);
    else
        MORVEK_HOST_LOG(osg::LOG_WARNING, "morvekShapeNodePool/Texture",
                        "Texture %s has no processor; image not set\n", getDisplayName().c_str());
}

osg::ImagePtr Texture::getImage() const
{
    TextureProc* proc = getTextureProc();
    return proc ? proc->getImage() : osg::ImagePtr();
}

bool Texture::load(const char* url)
{
    _url.storeValue(url ? std::vector<std::string>{url} : std::vector<std::string>());
    TextureProc* proc = getTextureProc();
    if (!proc) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, "morvekShapeNodePool/Texture",
                        "Texture %s has no processor; %s not read\n", getDisplayName().c_str(),
                        url ? url : "(null)");
        return false;
    }
    return proc->load(url ? url : "");
}

} // namespace Morvek
