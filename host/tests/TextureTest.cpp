// Texture nodes: images from memory and from files, reached through the processor's chunk.

#include <morvekBase/RefPtr.h>
#include <morvekBase/Runtime.h>
#include <morvekShapeNodePool/Texture.h>
#include <morvekShapeNodePool/TextureProc.h>

#include <OpenSG/OSGFieldContainer.h>
#include <OpenSG/OSGImage.h>
#include <OpenSG/OSGTextureChunk.h>

#include <osgTestSupport/LogCapture.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace Morvek;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const std::string HdriFolder = MORVEK_HDRI_DIR;

osg::ImagePtr makeImage(int width, int height)
{
    osg::ImagePtr image = osg::ImageBase::create();
    std::vector<float> pixels(size_t(width) * size_t(height) * 3, 0.5f);
    image->set(osg::Image::OSG_RGB_PF, width, height, 1, 1, 1, 0.0,
               reinterpret_cast<const osg::UInt8*>(pixels.data()), osg::Image::OSG_FLOAT32_IMAGEDATA);
    return image;
}

// The image the texture's chunk holds, reached the way a light processor reaches it.
osg::ImagePtr chunkImage(Texture& texture)
{
    TextureProc* proc = texture.getTextureProc();
    if (!proc)
        return osg::NullFC;
    osg::TextureChunkPtr chunk = osg::TextureChunkPtr::dcast(proc->chunkPtr());
    return chunk != osg::NullFC ? chunk->getImage() : osg::ImagePtr();
}

class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/morvekTextureXXXXXX";
        _path = ::mkdtemp(pattern);
    }
    ~TempFolder() { std::filesystem::remove_all(_path); }
    std::string file(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(_path + "/" + name, std::ios::binary) << bytes;
        return _path + "/" + name;
    }
    const std::string& path() const { return _path; }

private:
    std::string _path;
};

std::string firstBytes(const std::string& path, size_t count)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes(count, '\0');
    in.read(&bytes[0], std::streamsize(count));
    bytes.resize(size_t(in.gcount()));
    return bytes;
}

TEST(Texture, ImageFromMemoryIsTheChunksImage)
{
    const osg::UInt32 before = osg::getLiveContainerCount();
    {
        RefPtr<Texture> texture(Texture::create("mem"));
        ASSERT_NE(texture->getTextureProc(), nullptr);
        EXPECT_EQ(chunkImage(*texture), osg::NullFC);
        osg::ImagePtr image = makeImage(4, 2);
        texture->setImage(image);
        EXPECT_EQ(chunkImage(*texture), image);
        EXPECT_EQ(texture->getImage(), image);
        EXPECT_EQ(image.getRefCount(), 1); // held by the chunk

        // The first update reports the empty url list: an image from memory stays.
        Runtime::instance().update(0.0);
        EXPECT_EQ(chunkImage(*texture), image);
        texture->setImage(osg::NullFC);
        EXPECT_EQ(chunkImage(*texture), osg::NullFC);
    }
    EXPECT_EQ(osg::getLiveContainerCount(), before);
}

TEST(Texture, RealEnvironmentFileLoadsByUrlAtTheNextUpdate)
{
    const std::string path = HdriFolder + "/courtyard.exr";
    ASSERT_TRUE(std::filesystem::exists(path)) << path << " is missing";
    RefPtr<Texture> texture(Texture::create("env"));
    ASSERT_TRUE(texture->url().setFromString(("\"" + path + "\"").c_str()));
    EXPECT_EQ(chunkImage(*texture), osg::NullFC);
    Runtime::instance().update(0.0);
    osg::ImagePtr image = chunkImage(*texture);
    ASSERT_NE(image, osg::NullFC);
    osg::addRefCP(image); // kept to compare with the next one
    EXPECT_EQ(image->getWidth(), 1024);
    EXPECT_EQ(image->getHeight(), 512);
    EXPECT_EQ(texture->getTextureProc()->getLoadedPath(), path);

    // file:// URLs name files too; the first readable entry of the list wins.
    const std::string other = HdriFolder + "/sunset.exr";
    texture->url().setValue({HdriFolder + "/missing.exr", "file://" + other});
    {
        osgTestSupport::LogCapture capture;
        Runtime::instance().update(1.0);
        EXPECT_THAT(capture.lines(), ElementsAre(HasSubstr(HdriFolder + "/missing.exr")));
    }
    EXPECT_NE(chunkImage(*texture), osg::NullFC);
    EXPECT_NE(chunkImage(*texture), image);
    EXPECT_EQ(texture->getTextureProc()->getLoadedPath(), other);
    osg::subRefCP(image);
}

TEST(Texture, UnreadableFilesLeaveTheTextureWithoutImageAndNameTheFile)
{
    const std::string real = HdriFolder + "/sunrise.exr";
    ASSERT_TRUE(std::filesystem::exists(real)) << real << " is missing";
    TempFolder folder;
    struct Row {
        const char* name;
        std::string url;
        std::string message;
    };
    const Row rows[] = {
        {"missing file", folder.path() + "/none.exr", folder.path() + "/none.exr: cannot open"},
        {"directory", folder.path(), folder.path() + ": is a directory"},
        {"empty file", folder.file("empty.exr", ""), folder.path() + "/empty.exr: the file is empty"},
        {"unknown format", folder.file("notes.png", "just some text, not a picture"),
         folder.path() + "/notes.png: unknown image format"},
        {"truncated OpenEXR", folder.file("cut.exr", firstBytes(real, 2000)),
         folder.path() + "/cut.exr: corrupt or truncated OpenEXR data"},
        {"other scheme", "http://example.org/sky.exr",
         "http://example.org/sky.exr: only local files are read"},
    };
    for (const Row& row : rows) {
        RefPtr<Texture> texture(Texture::create("t"));
        ASSERT_TRUE(texture->load(real.c_str())) << row.name;
        osgTestSupport::LogCapture capture;
        EXPECT_FALSE(texture->load(row.url.c_str())) << row.name;
        EXPECT_EQ(chunkImage(*texture), osg::NullFC) << row.name;
        EXPECT_THAT(capture.lines(), ElementsAre(HasSubstr("Texture Texture/t: " + row.message)))
            << row.name;
        EXPECT_THAT(texture->url().getValue(), ElementsAre(row.url)) << row.name;
    }
}

} // namespace
