#include "OsgTest.h"

#include <OpenSG/OSGImage.h>
#include <OpenSG/OSGPolygonChunk.h>
#include <OpenSG/OSGSimpleMaterial.h>
#include <OpenSG/OSGTextureChunk.h>

#include <osgTestSupport/LogCapture.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

OSG_USING_NAMESPACE
using Morvek::osgTestSupport::LogCapture;

namespace {
using MaterialImageTest = OsgTest;

TEST_F(MaterialImageTest, ChunksAreCountedPerCallAndReleasedWhenTakenOut)
{
    SimpleMaterialPtr material = SimpleMaterialBase::create();
    PolygonChunkPtr polygon = PolygonChunkBase::create();
    TextureChunkPtr texture = TextureChunkBase::create();
    addRefCP(material);
    material->addChunk(polygon);
    material->addChunk(polygon);
    EXPECT_EQ(polygon.getRefCount(), 2) << "the same chunk twice counts twice";
    material->addChunk(texture, 3);
    EXPECT_EQ(material->find(texture), 2);
    LogCapture capture;
    EXPECT_TRUE(material->subChunk(texture, 1)) << "no entry with slot 1: failure, told by true";
    EXPECT_NE(capture.text().find("has no chunk"), std::string::npos) << capture.text();
    EXPECT_FALSE(material->subChunk(texture, 3)); // frees the texture chunk
    EXPECT_EQ(material->find(texture), -1);
    EXPECT_FALSE(material->subChunk(polygon));
    EXPECT_EQ(polygon.getRefCount(), 1);
    subRefCP(material); // releases the remaining polygon reference; the fixture checks for leaks
}

// The State is what rendering sees; it changes only when the edit is committed.
TEST_F(MaterialImageTest, SimpleMaterialStateFollowsEndEdit)
{
    SimpleMaterialPtr material = SimpleMaterialBase::create();
    addRefCP(material);
    EXPECT_EQ(material->getDiffuse(), Color3f(0, 0, 0)) << "a new material is black";
    material->setDiffuse(Color3f(1, 0.5f, 0.25f));
    material->setTransparency(0.5f);
    EXPECT_FALSE(material->getState().hasMaterialValues())
        << "nothing reaches the State before endEditCP";
    endEditCP(material);
    const State::MaterialValues& v = material->getState().getMaterialValues();
    EXPECT_EQ(v.diffuse, Color4f(1, 0.5f, 0.25f, 0.5f)) << "alpha = 1 - transparency";
    EXPECT_EQ(v.ambient.alpha(), 0.5f);
    EXPECT_EQ(v.emission.alpha(), 0.5f);
    EXPECT_TRUE(v.blend);

    material->setDiffuse(Color3f(0, 1, 0));
    EXPECT_EQ(material->getState().getMaterialValues().diffuse, Color4f(1, 0.5f, 0.25f, 0.5f));
    endEditCP(material, SimpleMaterialBase::DiffuseFieldMask);
    EXPECT_EQ(material->getState().getMaterialValues().diffuse, Color4f(0, 1, 0, 0.5f));

    subRefCP(material);
}

// The State holds one chunk per slot of a chunk class. Edits of the chunk list reach it at the
// next commit, whatever fields that commit names; colour commits leave the chunks in place.
TEST_F(MaterialImageTest, StateFollowsChunkListEditsAndSlots)
{
    SimpleMaterialPtr material = SimpleMaterialBase::create();
    PolygonChunkPtr first = PolygonChunkBase::create(), second = PolygonChunkBase::create();
    addRefCP(material);
    addRefCP(first); // the test keeps both chunks across clearChunks
    addRefCP(second);
    const State& state = material->getState();
    const UInt32 polygon = PolygonChunk::getStaticClass()->getId();

    material->addChunk(first, State::AutoSlotReplace);
    endEditCP(material);
    material->setDiffuse(Color3f(1, 0, 0));
    endEditCP(material, SimpleMaterialBase::DiffuseFieldMask);
    EXPECT_EQ(state.getChunk(polygon, 0), first) << "kept by a colour commit";
    EXPECT_EQ(state.getMaterialValues().diffuse, Color4f(1, 0, 0, 1));
    material->addChunk(second, State::AutoSlotReplace);
    endEditCP(material, SimpleMaterialBase::DiffuseFieldMask);
    EXPECT_EQ(state.getChunk(polygon, 0), second) << "one polygon slot: the later chunk wins";
    EXPECT_EQ(state.getNumChunks(), 1u);

    material->clearChunks();
    EXPECT_EQ(state.getNumChunks(), 0u) << "cleared at once";
    material->addChunk(first, State::AutoSlot);
    material->addChunk(second, State::AutoSlot);
    LogCapture capture;
    endEditCP(material, SimpleMaterialBase::DiffuseFieldMask);
    EXPECT_EQ(state.getChunk(polygon, 0), first) << "AutoSlot keeps the first";
    EXPECT_NE(capture.text().find("no free slot for Polygon"), std::string::npos) << capture.text();
    subRefCP(material);
    EXPECT_EQ(first.getRefCount(), 1)
        << "the material released its references, the state took none";
    subRefCP(first);
    subRefCP(second);
}

TEST_F(MaterialImageTest, TextureChunkHoldsItsImageAndHearsItsChanges)
{
    TextureChunkPtr chunk = TextureChunkBase::create();
    ImagePtr first = ImageBase::create();
    ImagePtr second = ImageBase::create();
    addRefCP(chunk);
    addRefCP(second);

    chunk->setImage(first);
    EXPECT_EQ(first.getRefCount(), 1);
    ASSERT_EQ(first->getParents().size(), 1u);
    EXPECT_EQ(first->getParents()[0], chunk);

    const UInt32 revision = chunk->getImageRevision();
    endEditCP(first, ImageBase::PixelFieldMask);
    EXPECT_EQ(chunk->getImageRevision(), revision + 1) << "an image change reaches its texture";

    const UInt32 live = getLiveContainerCount();
    chunk->setImage(second); // frees the first image
    EXPECT_EQ(getLiveContainerCount(), live - 1);
    EXPECT_EQ(second.getRefCount(), 2);
    EXPECT_EQ(chunk->getImage(), second);

    subRefCP(chunk);
    EXPECT_EQ(second.getRefCount(), 1);
    EXPECT_TRUE(second->getParents().empty());
    subRefCP(second);
}

TEST_F(MaterialImageTest, ImageSetComputesBppAndSize)
{
    struct Row {
        UInt32 format;
        Int32 type, width, height;
        UInt32 bpp;
        UInt64 size;
        Int32 dimension;
    };
    const Row rows[] = {
        {Image::OSG_RGB_PF, Image::OSG_UINT8_IMAGEDATA, 3, 2, 3, 18, 2},
        {Image::OSG_RGBA_PF, Image::OSG_FLOAT16_IMAGEDATA, 4, 4, 8, 128, 2},
        {Image::OSG_RGB_PF, Image::OSG_FLOAT32_IMAGEDATA, 2, 1, 12, 24, 1},
        {Image::OSG_RGB_PF, Image::OSG_UINT8_IMAGEDATA, 0, -5, 3, 3, 1}, // sizes clamp to 1
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &row - rows);
        ImagePtr image = ImageBase::create();
        EXPECT_TRUE(image->set(row.format, row.width, row.height, 1, 1, 1, 0.0, nullptr, row.type));
        EXPECT_EQ(image->getBpp(), row.bpp);
        EXPECT_EQ(image->getSize(), row.size);
        EXPECT_EQ(image->getPixel().size(), row.size);
        EXPECT_EQ(image->getDimension(), row.dimension);
        subRefCP(image);
    }
}

TEST_F(MaterialImageTest, ImageSetCopiesDataAndRefusesBadRequests)
{
    const UInt8 pixels[] = {1, 2, 3, 4, 5, 6};
    ImagePtr image = ImageBase::create();
    ASSERT_TRUE(image->set(Image::OSG_RGB_PF, 2, 1, 1, 1, 1, 0.0, pixels));
    EXPECT_EQ(std::vector<UInt8>(image->getData(), image->getData() + 6),
              std::vector<UInt8>(pixels, pixels + 6));

    ImagePtr copy = ImageBase::create();
    ASSERT_TRUE(copy->set(image));
    EXPECT_EQ(copy->getPixel().getValues(), image->getPixel().getValues());

    EXPECT_FALSE(copy->set(Image::OSG_RGB_PF, 2, 1, 1, 1, 1, 0.0, nullptr,
                           Image::OSG_UINT8_IMAGEDATA, false))
        << "no allocation, no data";
    EXPECT_EQ(copy->getData(), nullptr);

    LogCapture capture;
    EXPECT_FALSE(image->set(0x1234, 2, 2));
    EXPECT_EQ(image->getData(), nullptr);
    EXPECT_FALSE(image->set(Image::OSG_RGBA_PF, 2, 2, 1, 1, 1, 0.0, nullptr, 0x9999));
    EXPECT_FALSE(image->set(Image::OSG_RGBA_PF, 65536, 65536, 1, 1, 1, 0.0, nullptr,
                            Image::OSG_FLOAT32_IMAGEDATA));
    EXPECT_EQ(image->getSize(), 0u);
    const std::vector<std::string> lines = capture.lines();
    ASSERT_EQ(lines.size(), 3u) << capture.text();
    EXPECT_NE(lines[0].find("unknown pixel format 0x1234"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("data type 0x9999"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find("refused"), std::string::npos) << lines[2];
    subRefCP(image);
    subRefCP(copy);
}

// A large store is prepared by two threads before it is filled: it must still come out
// cleared, or holding exactly the data given, when the first set was of another size.
TEST_F(MaterialImageTest, LargeImagesAreClearedOrCopiedWhole)
{
    const Int32 width = 2048, height = 1536; // 36 MiB as float RGB
    const std::size_t bytes = std::size_t(width) * height * 12;
    std::vector<UInt8> pattern(bytes);
    for (std::size_t i = 0; i < bytes; ++i)
        pattern[i] = UInt8(i * 7 + i / 4099);

    ImagePtr image = ImageBase::create();
    ASSERT_TRUE(image->set(Image::OSG_RGB_PF, 4, 4, 1, 1, 1, 0.0, pattern.data()));
    ASSERT_TRUE(image->set(Image::OSG_RGB_PF, width, height, 1, 1, 1, 0.0, nullptr,
                           Image::OSG_FLOAT32_IMAGEDATA));
    ASSERT_EQ(image->getSize(), bytes);
    const UInt8* data = image->getData();
    EXPECT_EQ(std::count(data, data + bytes, UInt8(0)), std::ptrdiff_t(bytes));

    ASSERT_TRUE(image->set(Image::OSG_RGB_PF, width / 2, height, 1, 1, 1, 0.0, nullptr,
                           Image::OSG_FLOAT32_IMAGEDATA));
    ASSERT_TRUE(image->set(Image::OSG_RGB_PF, width, height, 1, 1, 1, 0.0, pattern.data(),
                           Image::OSG_FLOAT32_IMAGEDATA));
    ASSERT_EQ(image->getSize(), bytes);
    EXPECT_EQ(std::memcmp(image->getData(), pattern.data(), bytes), 0);
    subRefCP(image);
}
} // namespace
