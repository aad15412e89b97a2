#include <morvekShapeNodePool/TextureProc.h>

#include <morvekBase/HostLog.h>
#include <morvekShapeNodePool/ImageFile.h>
#include <morvekShapeNodePool/Texture.h>

namespace Morvek {

namespace {
const char* const source = "morvekShapeNodePool/TextureProc";
const char* const fileScheme = "file://";
} // namespace

TextureProc::TextureProc(NodeType& type, Node& node) : AppearancePropertyProc(type, node)
{
    _chunkPtr = osg::TextureChunkBase::create();
    if (_chunkPtr == osg::NullFC)
        MORVEK_HOST_LOG(osg::LOG_WARNING, source,
                        "Texture %s: OpenSG could not create a texture chunk\n",
                        node.getDisplayName().c_str());
    osg::addRefCP(_chunkPtr);
}

TextureProc::TextureProc(const TextureProc& other) : TextureProc(other.getType(), other.getNode())
{
    setImage(other.getImage());
    _loadedPath = other._loadedPath;
}

TextureProc& TextureProc::operator=(const TextureProc& other)
{
    AppearancePropertyProc::operator=(other);
    if (this != &other) {
        setImage(other.getImage());
        _loadedPath = other._loadedPath;
    }
    return *this;
}

TextureProc::~TextureProc() { osg::subRefCP(_chunkPtr); }

void TextureProc::nodeChanged(const double&, const BitVector<unsigned long long>& mask)
{
    if (!(mask & Texture::urlMask).any())
        return;
    auto* texture = dynamic_cast<Texture*>(&getNode());
    if (!texture)
        return;
    // An empty list leaves an image set from memory alone.
    const std::vector<std::string>& urls = texture->url().getValue();
    if (urls.empty())
        return;
    // Already read (Texture::load reads at once and then reports the url).
    if (!_loadedPath.empty() && urls.front() == _loadedPath && getImage() != osg::NullFC)
        return;
    for (const std::string& url : urls)
        if (load(url))
            return;
}

osg::StateChunkPtr TextureProc::chunkPtr() { return _chunkPtr; }

void TextureProc::setImage(osg::ImagePtr image)
{
    if (_chunkPtr == osg::NullFC)
        return;
    osg::beginEditCP(_chunkPtr, osg::TextureChunkBase::ImageFieldMask);
    _chunkPtr->setImage(image);
    osg::endEditCP(_chunkPtr, osg::TextureChunkBase::ImageFieldMask);
}

osg::ImagePtr TextureProc::getImage() const
{
    return _chunkPtr != osg::NullFC ? _chunkPtr->getImage() : osg::ImagePtr();
}

bool TextureProc::load(const std::string& url)
{
    std::string path = url;
    if (path.compare(0, std::string(fileScheme).size(), fileScheme) == 0)
        path.erase(0, std::string(fileScheme).size());
    std::string error;
    osg::ImagePtr image = osg::NullFC;
    if (path.find("://") != std::string::npos)
        error = path + ": only local files are read";
    else if (path.empty())
        error = "(empty file name): nothing to read";
    else
        image = loadImageFile(path, error);

    if (image == osg::NullFC) {
        setImage(osg::NullFC);
        _loadedPath.clear();
        MORVEK_HOST_LOG(osg::LOG_WARNING, source, "Texture %s: %s\n",
                        getNode().getDisplayName().c_str(), error.c_str());
        return false;
    }
    setImage(image);
    _loadedPath = path;
    return true;
}

} // namespace Morvek
