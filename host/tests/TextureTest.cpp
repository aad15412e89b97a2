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
#include <utility>

using namespace Morvek;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const std::string hdriFolder = MORVEK_HDRI_DIR;

// The image the texture's chunk holds, reached the way a light processor reaches it.
osg::ImagePtr chunkImage(Texture& texture)
{
    TextureProc* proc = texture.getTextureProc();
    if (!proc)
        return osg::NullFC;
    osg::TextureChunkPtr chunk = osg::TextureChunkPtr::dcast(proc->chunkPtr());
    return chunk != osg::NullFC ? chunk->getImage() : osg::ImagePtr();
}

TEST(Texture, ImageFromMemoryIsTheChunksImage)
{
    const osg::UInt32 before = osg::getLiveContainerCount();
    {
        RefPtr<Texture> texture(Texture::create("mem"));
        EXPECT_EQ(chunkImage(*texture), osg::NullFC);
        osg::ImagePtr image = osg::ImageBase::create();
        image->set(osg::Image::OSG_RGB_PF, 4, 2);
        texture->setImage(image);
        EXPECT_EQ(chunkImage(*texture), image);
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
    const std::string path = hdriFolder + "/courtyard.exr";
    ASSERT_TRUE(std::filesystem::exists(path)) << path << " is missing";
    RefPtr<Texture> texture(Texture::create("env"));
    ASSERT_TRUE(texture->url().setFromString(("\"" + path + "\"").c_str()));
    EXPECT_EQ(chunkImage(*texture), osg::NullFC);
    Runtime::instance().update(0.0);
    osg::ImagePtr image = chunkImage(*texture);
    ASSERT_NE(image, osg::NullFC);
    osg::addRefCP(image); // kept to compare with the next one
    EXPECT_EQ(image->getWidth(), 1024);
    EXPECT_EQ(texture->getTextureProc()->getLoadedPath(), path);

    // file:// URLs name files too; the first readable entry of the list wins.
    const std::string other = hdriFolder + "/sunset.exr";
    texture->url().setValue({hdriFolder + "/missing.exr", "file://" + other});
    {
        osgTestSupport::LogCapture capture;
        Runtime::instance().update(1.0);
        EXPECT_THAT(capture.lines(), ElementsAre(HasSubstr(hdriFolder + "/missing.exr")));
    }
    EXPECT_NE(chunkImage(*texture), osg::NullFC);
    EXPECT_NE(chunkImage(*texture), image);
    EXPECT_EQ(texture->getTextureProc()->getLoadedPath(), other);
    osg::subRefCP(image);
}

// The loader's errors are its own tests' business; here: the texture drops its old image and
// names itself and the file.
TEST(Texture, UnreadableFilesLeaveTheTextureWithoutImageAndNameTheFile)
{
    const std::string real = hdriFolder + "/sunrise.exr";
    const std::pair<std::string, std::string> rows[] = {
        {hdriFolder + "/none.exr", hdriFolder + "/none.exr: cannot open"},
        {"http://example.org/sky.exr", "http://example.org/sky.exr: only local files are read"},
    };
    for (const auto& [url, message] : rows) {
        RefPtr<Texture> texture(Texture::create("t"));
        ASSERT_TRUE(texture->load(real.c_str())) << url;
        osgTestSupport::LogCapture capture;
        EXPECT_FALSE(texture->load(url.c_str())) << url;
        EXPECT_EQ(chunkImage(*texture), osg::NullFC) << url;
        EXPECT_THAT(capture.lines(), ElementsAre(HasSubstr("Texture Texture/t: " + message)));
        EXPECT_THAT(texture->url().getValue(), ElementsAre(url));
    }
}

} // namespace
