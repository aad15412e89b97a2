#include <morvekSampling/SummedAreaTable.h>
#include <morvekSampling/SummedAreaTableBuilder.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace {

using Morvek::SummedAreaTable;

std::uintptr_t address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

// The entries start `distance` bytes after the pixels modulo a page, at most one cache line
// early, and every entry can be written (the sanitize build sees any write past the storage).
void expectPlaced(SummedAreaTable& table, const void* pixels, std::size_t distance)
{
    const std::uintptr_t want = address(pixels) + distance;
    EXPECT_LT((want - address(table.data())) % 4096, 64u) << "pixels at " << pixels;
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = float(i);
    EXPECT_EQ(table[table.size() - 1], float(table.size() - 1));
}

TEST(SummedAreaTable, KeepsItsStorageForTheSameShapeAndPlacesItsEntriesForThePixels)
{
    SummedAreaTable table;
    EXPECT_FALSE(table);
    EXPECT_EQ(table.size(), 0u);

    ASSERT_TRUE(table.resize(33, 17, 3));
    ASSERT_TRUE(table);
    EXPECT_EQ(table.size(), 3u * 33 * 17);
    std::vector<unsigned char> pixels(8192);
    for (std::size_t offset : {0u, 4u, 64u, 1000u, 4095u}) {
        table.placeFor(pixels.data() + offset, 1024);
        expectPlaced(table, pixels.data() + offset, 1024);
    }

    // The same shape keeps the storage, another shape replaces it.
    table.placeFor(pixels.data(), 0);
    const float* before = table.data();
    ASSERT_TRUE(table.resize(33, 17, 3));
    EXPECT_EQ(table.data(), before);
    ASSERT_TRUE(table.resize(17, 33, 3));
    EXPECT_EQ(table.width(), 17);
    EXPECT_EQ(table.height(), 33);

    // A side of 0 leaves no storage.
    ASSERT_TRUE(table.resize(0, 5, 1));
    EXPECT_FALSE(table);
    EXPECT_EQ(table.size(), 0u);
}

TEST(SummedAreaTable, LargeTablesAndMovesOwnTheirStorage)
{
    // 6 MiB: on the huge-page path.
    SummedAreaTable large;
    ASSERT_TRUE(large.resize(1024, 512, 3));
    std::vector<float> pixels(16);
    large.placeFor(pixels.data(), 2048);
    expectPlaced(large, pixels.data(), 2048);

    SummedAreaTable moved(std::move(large));
    EXPECT_FALSE(large);
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved[3 * 1024 * 512 - 1], float(3 * 1024 * 512 - 1));

    SummedAreaTable assigned;
    ASSERT_TRUE(assigned.resize(4, 4, 1));
    assigned = std::move(moved);
    EXPECT_FALSE(moved);
    EXPECT_EQ(assigned.width(), 1024);
    assigned.release();
    EXPECT_FALSE(assigned);
    EXPECT_EQ(assigned.width(), 0);
}

TEST(SummedAreaTable, PrepareShapesBothTablesApartFromThePixels)
{
    std::vector<float> pixels(3 * 64 * 32);
    Morvek::EnvironmentImage image;
    image.data = reinterpret_cast<const std::uint8_t*>(pixels.data());
    image.size = pixels.size() * sizeof(float);
    image.width = 64;
    image.height = 32;
    image.pixelFormat = Morvek::PixelDecoder::rgbFormat;
    image.dataType = Morvek::PixelDecoder::floatType;

    SummedAreaTable energy, color;
    ASSERT_TRUE(Morvek::SummedAreaTableBuilder::prepare(image, energy, color));
    EXPECT_EQ(energy.channels(), 1);
    EXPECT_EQ(color.channels(), 3);
    EXPECT_EQ(energy.size(), 64u * 32);
    EXPECT_EQ(color.size(), 3u * 64 * 32);
    expectPlaced(energy, pixels.data(), 1024);
    expectPlaced(color, pixels.data(), 2048);

    image.width = 0;
    ASSERT_TRUE(Morvek::SummedAreaTableBuilder::prepare(image, energy, color));
    EXPECT_FALSE(energy);
    EXPECT_FALSE(color);
}

} // namespace
