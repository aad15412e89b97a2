#include <morvekSampling/MedianCut.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace Morvek {
namespace {

// An energy table built by hand from per-pixel energies given row by row, as text. The test
// images use small integers, whose sums are exact.
struct EnergyImage {
    int width;
    int height;
    std::vector<float> table;

    EnergyImage(int w, int h, const std::string& energies) : width(w), height(h)
    {
        std::istringstream in(energies);
        std::vector<double> pixels;
        for (double e; in >> e;)
            pixels.push_back(e);
        EXPECT_EQ(pixels.size(), std::size_t(w) * h) << energies;
        pixels.resize(std::size_t(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                double sum = 0.0;
                for (int j = 0; j <= y; ++j)
                    for (int i = 0; i <= x; ++i)
                        sum += pixels[std::size_t(j) * w + i];
                table.push_back(float(sum));
            }
    }
    MedianCut cut() const
    {
        return MedianCut(table.data(), std::uint16_t(width), std::uint16_t(height));
    }
};

ImageRegion region(int x, int y, int w, int h, float energy)
{
    ImageRegion r;
    r.energy = energy;
    r.origin.setValues(std::uint16_t(x), std::uint16_t(y));
    r.width = std::uint16_t(w);
    r.height = std::uint16_t(h);
    return r;
}

// "x y w h energy", as the rows below write the leaves they expect; the energy to every digit.
std::string describe(const ImageRegion& r)
{
    std::ostringstream out;
    out.precision(9);
    out << r.origin.x() << ' ' << r.origin.y() << ' ' << r.width << ' ' << r.height << ' '
        << r.energy;
    return out.str();
}

TEST(MedianCut, SplitsIntoTheExpectedLeaves)
{
    const char* const ones = "1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1";
    const struct {
        const char* name;
        int width, height;
        const char* energies; // row by row
        unsigned short depth;
        const char* leaves; // in the order the cut produces them
    } rows[] = {
        {"depth 0 keeps the region", 3, 2, "1 2 3 4 5 6", 0, "0 0 3 2 21"},
        {"one pixel is never split", 1, 1, "7", 4, "0 0 1 1 7"},
        {"uniform 4x4 at depth 2: columns first, then rows", 4, 4, ones, 2,
         "0 0 2 2 4 | 0 2 2 2 4 | 2 0 2 2 4 | 2 2 2 2 4"},
        {"2x1 of equal pixels", 2, 1, "1 1", 1, "0 0 1 1 1 | 1 0 1 1 1"},
        {"all energy in the first column: cut right after it", 4, 2, "3 0 0 0 5 0 0 0", 1,
         "0 0 1 2 8 | 1 0 3 2 0"},
        {"zero energy: cut after the first column", 3, 2, "0 0 0 0 0 0", 1,
         "0 0 1 2 0 | 1 0 2 2 0"},
        {"zero energy, higher than wide: cut after the first row", 2, 3, "0 0 0 0 0 0", 1,
         "0 0 2 1 0 | 0 1 2 2 0"},
        {"all energy in the last column: never split", 4, 2, "0 0 0 2 0 0 0 6", 5, "0 0 4 2 8"},
        {"all energy in the last row: never split", 2, 4, "0 0 0 0 0 0 4 4", 5, "0 0 2 4 8"},
        // Half of 4 is first reached after column 1 (part 4); the cut after column 0 (part 1)
        // is nearer to half: |4 - 8| > |4 - 2|.
        {"steps back to the nearer cut", 4, 1, "1 3 0 0", 1, "0 0 1 1 1 | 1 0 3 1 3"},
        // Parts 1 and 3 of 4 are equally far from half: the tie keeps the later cut.
        {"a tie keeps the later cut", 4, 1, "1 2 1 0", 1, "0 0 2 1 3 | 2 0 2 1 1"},
        // The first column alone exceeds the whole (5 of 2): stepping back would leave the
        // first part empty, so the cut stays after column 0.
        {"negative pixels: no empty first part", 3, 1, "5 -1 -2", 1, "0 0 1 1 5 | 1 0 2 1 -3"},
        // 2x8 cut across rows at depth 3; each 2x4 half then across rows, each 2x2 across columns.
        {"rows, rows, then columns", 2, 8, ones, 3,
         "0 0 1 2 2 | 1 0 1 2 2 | 0 2 1 2 2 | 1 2 1 2 2 | 0 4 1 2 2 | 1 4 1 2 2 | 0 6 1 2 2 | "
         "1 6 1 2 2"},
        {"depth beyond the pixels stops at single pixels", 2, 1, "1 1", 9, "0 0 1 1 1 | 1 0 1 1 1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const EnergyImage image(row.width, row.height, row.energies);
        std::vector<ImageRegion> leaves = {region(9, 9, 1, 1, -1.0f)}; // appended to
        image.cut().splitRegion(region(0, 0, row.width, row.height, image.table.back()), row.depth,
                                leaves);
        ASSERT_FALSE(leaves.empty());
        EXPECT_EQ(describe(leaves[0]), "9 9 1 1 -1") << "the leaves are appended";
        std::string got;
        for (std::size_t i = 1; i < leaves.size(); ++i)
            got += (i > 1 ? " | " : "") + describe(leaves[i]);
        EXPECT_EQ(got, row.leaves);
    }
}

TEST(MedianCut, EnergyCentroidIsThePerAxisMedian)
{
    auto ones = [](int n) {
        std::string text;
        for (int i = 0; i < n; ++i)
            text += "1 ";
        return text;
    };
    const struct {
        const char* name;
        int width, height;
        std::string energies;
        ImageRegion region;
        int x, y;
    } rows[] = {
        {"uniform 2x2", 2, 2, ones(4), region(0, 0, 2, 2, 4), 1, 1},
        {"1x1 keeps its pixel", 8, 6, ones(48), region(5, 3, 1, 1, 1), 5, 3},
        {"uniform 1x4: rows 0 and 1 already hold half", 8, 4, ones(32), region(7, 0, 1, 4, 4), 7,
         1},
        {"energy in the first column: the search starts at offset 1", 4, 1, "5 0 0 0",
         region(0, 0, 4, 1, 5), 1, 0},
        {"energy in the last column and row", 3, 3, "0 0 0 0 0 0 0 0 9", region(0, 0, 3, 3, 9), 2,
         2},
        {"inner region of a uniform image", 8, 6, ones(48), region(2, 1, 5, 4, 20), 4, 2},
        {"no energy anywhere", 2, 2, "0 0 0 0", region(0, 0, 2, 2, 0), 1, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const EnergyImage image(row.width, row.height, row.energies);
        const osg::Vec2us centroid = image.cut().computeEnergyCentroid(row.region);
        EXPECT_EQ(centroid.x(), row.x);
        EXPECT_EQ(centroid.y(), row.y);
    }
}

// The cut and centroid searches, written out one column and row at a time: the library may
// compare several columns at once, but must pick the same ones.
struct LiteralCut {
    const MedianCut& cut;
    float energy(int x0, int y0, int x1, int y1) const
    {
        return cut.rectangleEnergy(x0, y0, x1, y1);
    }
    void split(const ImageRegion& r, unsigned short depth, std::vector<ImageRegion>& out) const
    {
        const int x0 = r.origin.x(), y0 = r.origin.y(), w = r.width, h = r.height;
        const bool rows = w < h;
        const int side = rows ? h : w;
        if (depth == 0 || side < 2)
            return out.push_back(r);
        float prev = 0.0f, part = 0.0f;
        int k = 0;
        for (; k <= side - 2; ++k) {
            part = rows ? energy(x0, y0, x0 + w - 1, y0 + k) : energy(x0, y0, x0 + k, y0 + h - 1);
            if (part >= r.energy * 0.5f)
                break;
            prev = part;
        }
        if (k > side - 2)
            return out.push_back(r);
        if (k > 0 && std::fabs(r.energy - part * 2.0f) > std::fabs(r.energy - prev * 2.0f)) {
            --k;
            part = prev;
        }
        ImageRegion a = r, b = r;
        a.energy = part;
        b.energy = r.energy - part;
        if (rows) {
            a.height = std::uint16_t(k + 1);
            b.origin.setValues(std::uint16_t(x0), std::uint16_t(y0 + k + 1));
            b.height = std::uint16_t(h - k - 1);
        } else {
            a.width = std::uint16_t(k + 1);
            b.origin.setValues(std::uint16_t(x0 + k + 1), std::uint16_t(y0));
            b.width = std::uint16_t(w - k - 1);
        }
        split(a, depth - 1, out);
        split(b, depth - 1, out);
    }
    int centroidX(const ImageRegion& r) const
    {
        for (int i = 1; i < r.width; ++i)
            if (energy(r.origin.x(), r.origin.y(), r.origin.x() + i, r.origin.y() + r.height - 1) >=
                r.energy * 0.5f)
                return r.origin.x() + i;
        return r.origin.x();
    }
    int centroidY(const ImageRegion& r) const
    {
        for (int j = 1; j < r.height; ++j)
            if (energy(r.origin.x(), r.origin.y(), r.origin.x() + r.width - 1, r.origin.y() + j) >=
                r.energy * 0.5f)
                return r.origin.y() + j;
        return r.origin.y();
    }
};

TEST(MedianCut, PicksTheSameCutsAsAColumnByColumnSearch)
{
    // Random tables (not sums of anything: every entry is independent), with negative values,
    // NaNs and infinities, in widths around the four-column steps.
    std::uint32_t seed = 12345u;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int width : {3, 4, 5, 7, 8, 9, 31, 64, 67}) {
        for (int trial = 0; trial < 20; ++trial) {
            const int height = 1 + int(next() % 40);
            std::vector<float> table(std::size_t(width) * height);
            for (float& v : table) {
                const std::uint32_t r = next();
                v = r % 97 == 0   ? std::numeric_limits<float>::quiet_NaN()
                    : r % 89 == 0 ? std::numeric_limits<float>::infinity()
                                  : float(int(r % 2001) - 600) / 7.0f;
            }
            const MedianCut cut(table.data(), std::uint16_t(width), std::uint16_t(height));
            const LiteralCut literal{cut};
            SCOPED_TRACE("width " + std::to_string(width) + " trial " + std::to_string(trial));
            const ImageRegion root =
                region(0, 0, width, height, float(int(next() % 4001) - 1000) / 3.0f);
            std::vector<ImageRegion> got, want;
            cut.splitRegion(root, 4, got);
            literal.split(root, 4, want);
            ASSERT_EQ(got.size(), want.size());
            for (std::size_t i = 0; i < got.size(); ++i) {
                EXPECT_EQ(describe(got[i]), describe(want[i])) << "leaf " << i;
                EXPECT_EQ(std::memcmp(&got[i].energy, &want[i].energy, sizeof(float)), 0)
                    << "leaf " << i;
                const osg::Vec2us centroid = cut.computeEnergyCentroid(got[i]);
                EXPECT_EQ(centroid.x(), literal.centroidX(got[i])) << describe(got[i]);
                EXPECT_EQ(centroid.y(), literal.centroidY(got[i])) << describe(got[i]);
            }
        }
    }
}

TEST(MedianCut, RanksByAscendingDensityWithNaNLowest)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<ImageRegion> regions = {
        region(0, 0, 2, 2, 8),   // 2 per pixel
        region(0, 0, 1, 1, nan), // no density
        region(0, 0, 4, 1, 2),   // 0.5
        region(0, 0, 1, 3, 9),   // 3, the densest
        region(0, 0, 2, 1, -1),  // -0.5
        region(0, 0, 1, 2, nan),
    };
    MedianCut::rankByDensity(regions);
    EXPECT_TRUE(std::isnan(regions[0].energy) && std::isnan(regions[1].energy));
    const float expected[] = {-0.5f, 0.5f, 2.0f, 3.0f};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(MedianCut::density(regions[std::size_t(i) + 2]), expected[i]) << "rank " << i + 2;
}

} // namespace
} // namespace Morvek
