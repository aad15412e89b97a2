#include <morvekSampling/SummedAreaTableBuilder.h>

#include <morvekSampling/PixelDecoder.h>

#include <morvekSampling/testSupport/LiteralSummedAreaTable.h>
#include <morvekSampling/testSupport/TestImages.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <random>
#include <string>
#include <vector>

namespace Morvek {
namespace {

using testing::OwnedImage;

struct FormatRow {
    const char* name;
    std::uint32_t format;
    std::int32_t dataType;
};

constexpr std::int32_t f32 = PixelDecoder::floatType;
constexpr std::int32_t f16 = PixelDecoder::halfFloatType;
constexpr std::int32_t u8 = PixelDecoder::unsignedByteType;

const FormatRow Formats[] = {
    {"L float", PixelDecoder::luminanceFormat, f32},
    {"L half", PixelDecoder::luminanceFormat, f16},
    {"L byte", PixelDecoder::luminanceFormat, u8},
    {"I float", PixelDecoder::intensityFormat, f32},
    {"I half", PixelDecoder::intensityFormat, f16},
    {"I byte", PixelDecoder::intensityFormat, u8},
    {"LA float", PixelDecoder::luminanceAlphaFormat, f32},
    {"LA half", PixelDecoder::luminanceAlphaFormat, f16},
    {"LA byte", PixelDecoder::luminanceAlphaFormat, u8},
    {"RGB float", PixelDecoder::rgbFormat, f32},
    {"RGB half", PixelDecoder::rgbFormat, f16},
    {"RGB byte", PixelDecoder::rgbFormat, u8},
    {"BGR float", PixelDecoder::bgrFormat, f32},
    {"BGR half", PixelDecoder::bgrFormat, f16},
    {"BGR byte", PixelDecoder::bgrFormat, u8},
    {"RGBA float", PixelDecoder::rgbaFormat, f32},
    {"RGBA half", PixelDecoder::rgbaFormat, f16},
    {"RGBA byte", PixelDecoder::rgbaFormat, u8},
    {"RGB DXT1", PixelDecoder::rgbDxt1Format, u8},
    {"RGBA DXT1", PixelDecoder::rgbaDxt1Format, u8},
    {"RGBA DXT3", PixelDecoder::rgbaDxt3Format, u8},
    {"RGBA DXT5", PixelDecoder::rgbaDxt5Format, u8},
};

struct Size {
    int width;
    int height;
};

// Odd sizes for the brute-force comparison of every rectangle.
const Size OddSizes[] = {{7, 5}, {1, 9}, {13, 1}};
// Sizes that also exercise the wavefront's edges: fewer rows than a block (4 rows, each one
// column behind the one above), several blocks with a remainder, widths below and above the
// block's height, rows longer than one decoded chunk (128 columns).
const Size WavefrontSizes[] = {{7, 5},   {1, 9},  {13, 1},   {2, 7},   {6, 6}, {17, 4},
                               {41, 17}, {64, 9}, {129, 13}, {300, 8}, {50, 3}};

// Storage on cache-line boundaries, as streaming stores need.
template <class T> struct LineAligned {
    using value_type = T;
    LineAligned() = default;
    template <class U> LineAligned(const LineAligned<U>&) {}
    T* allocate(std::size_t n)
    {
        return static_cast<T*>(::operator new(n * sizeof(T), std::align_val_t(64)));
    }
    void deallocate(T* p, std::size_t) { ::operator delete(p, std::align_val_t(64)); }
    bool operator==(const LineAligned&) const { return true; }
    bool operator!=(const LineAligned&) const { return false; }
};
using TableVector = std::vector<float, LineAligned<float>>;

struct Tables {
    TableVector energy;
    TableVector color;
};

using Instructions = SummedAreaTableBuilder::Instructions;
using Stores = SummedAreaTableBuilder::Stores;

// Every instruction set by name; one the processor lacks runs the best below it.
const struct {
    Instructions instructions;
    const char* name;
} InstructionSets[] = {
    {Instructions::Avx512, "avx512"},
    {Instructions::Avx2, "avx2"},
    {Instructions::Baseline, "sse2"},
};

Tables build(const EnvironmentImage& image, Instructions instructions = Instructions::Fastest,
             Stores stores = Stores::Chosen)
{
    // Exactly sized, and filled with a pattern no build produces from finite pixels, so an
    // entry left unwritten cannot pass for a right one.
    const std::size_t n = std::size_t(image.width) * std::size_t(image.height);
    Tables t{TableVector(n, -1.0e30f), TableVector(3 * n, -1.0e30f)};
    SummedAreaTableBuilder::build(image, t.energy.data(), t.color.data(), instructions, stores);
    return t;
}

// Bit patterns equal, except that any NaN matches any NaN: an add of the same two operands
// in the other order may hand on the other operand's NaN payload, which IEEE 754 leaves open.
bool sameBits(float a, float b)
{
    if (std::isnan(a) && std::isnan(b))
        return true;
    std::uint32_t ba, bb;
    std::memcpy(&ba, &a, 4);
    std::memcpy(&bb, &b, 4);
    return ba == bb;
}

void expectBitIdentical(const TableVector& got, const std::vector<float>& want, const char* table)
{
    ASSERT_EQ(got.size(), want.size());
    int reported = 0;
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (!sameBits(got[i], want[i]) && reported++ < 5)
            ADD_FAILURE() << table << " entry " << i << ": " << got[i] << " vs literal " << want[i];
    }
    EXPECT_EQ(reported, 0) << table << " differs from the literal loop";
}

// Builds the tables with every instruction set and compares each build with the literal loop.
// Streaming asks for streaming stores and checks that the build could use them.
void expectEverySetMatchesTheLiteralLoop(const EnvironmentImage& image,
                                         Stores stores = Stores::Chosen)
{
    const literal::Tables want = literal::createSAT(image);
    for (const auto& set : InstructionSets) {
        SCOPED_TRACE(set.name);
        const Tables got = build(image, set.instructions, stores);
        if (stores == Stores::Streaming) {
            ASSERT_TRUE(
                SummedAreaTableBuilder::canStream(image, got.energy.data(), got.color.data()));
        }
        expectBitIdentical(got.energy, want.energy, "energy");
        expectBitIdentical(got.color, want.color, "colour");
    }
}

// "<row> <w>x<h>": names a case in failure traces and seeds its random image.
std::string caseName(const char* row, const Size& size)
{
    return std::string(row) + " " + std::to_string(size.width) + "x" + std::to_string(size.height);
}

std::mt19937 seededFor(const std::string& name)
{
    std::seed_seq seed(name.begin(), name.end());
    return std::mt19937(seed);
}

TEST(SummedAreaTableBuilder, BitIdenticalToTheLiteralLoopForEveryFormat)
{
    for (const FormatRow& format : Formats) {
        for (const Size& size : WavefrontSizes) {
            const std::string name = caseName(format.name, size);
            SCOPED_TRACE(name);
            std::mt19937 rng = seededFor(name);
            const OwnedImage image =
                testing::randomImage(size.width, size.height, format.format, format.dataType, rng);
            ASSERT_EQ(PixelDecoder::check(image.view()), PixelDecoder::Verdict::Readable);
            expectEverySetMatchesTheLiteralLoop(image.view());
        }
    }
}

// What the tables mean: each entry sums the colour (and the energy) of the pixels above and left
// of it, as read one by one from the image. Sums in double, to a tolerance from their magnitude.
TEST(SummedAreaTableBuilder, EveryEntrySumsThePixelsAboveAndLeftOfIt)
{
    for (const FormatRow& format : Formats) {
        for (const Size& size : OddSizes) {
            const std::string name = caseName(format.name, size);
            SCOPED_TRACE(name);
            std::mt19937 rng = seededFor(name);
            const OwnedImage image =
                testing::randomImage(size.width, size.height, format.format, format.dataType, rng);
            const Tables t = build(image.view());
            std::vector<double> above(4 * std::size_t(size.width), 0.0); // the row above's sums
            double magnitude = 1.0;
            int failures = 0;
            for (int y = 0; y < size.height; ++y) {
                double left[4] = {0, 0, 0, 0}; // this row's pixels so far
                for (int x = 0; x < size.width; ++x) {
                    float c[3];
                    ASSERT_TRUE(literal::getColor(image.view(), x, y, c));
                    const double pixel[4] = {c[0], c[1], c[2],
                                             c[0] * 0.2125 + c[1] * 0.7154 + c[2] * 0.0721};
                    magnitude += std::fabs(c[0]) + std::fabs(c[1]) + std::fabs(c[2]);
                    const std::size_t i = std::size_t(y) * size.width + x;
                    const float entry[4] = {t.color[3 * i], t.color[3 * i + 1], t.color[3 * i + 2],
                                            t.energy[i]};
                    for (int lane = 0; lane < 4; ++lane) {
                        left[lane] += pixel[lane];
                        double& sum = above[4 * std::size_t(x) + lane];
                        sum += left[lane];
                        if (std::fabs(entry[lane] - sum) > 1e-5 * magnitude && failures++ < 5)
                            ADD_FAILURE() << "lane " << lane << " at (" << x << ", " << y
                                          << "): table " << entry[lane] << ", pixels " << sum;
                    }
                }
            }
            EXPECT_EQ(failures, 0);
        }
    }
}

// Float pixels read straight from the image, with values whose sums overflow, cancel, carry
// signed zeros, denormals and NaNs. Widths of whole 16-column groups also run with streaming
// stores, with and without a partial block of rows.
TEST(SummedAreaTableBuilder, NonFiniteNegativeAndHugeValuesStayBitIdenticalInEveryStore)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float specials[] = {nan,       -nan,     inf,         -inf, 3.0e38f,
                              -3.0e38f,  1.0e30f,  -0.0f,       0.0f, 1.0e-45f,
                              -1.0e-45f, 1.0e-38f, 16777216.0f, 1.0f, -1.0f};
    const struct {
        const char* name;
        std::uint32_t format;
        double specialShare; // how many components are drawn from the specials
    } rows[] = {
        {"RGB, few specials", PixelDecoder::rgbFormat, 0.02},
        {"RGB, many specials", PixelDecoder::rgbFormat, 0.5},
        {"BGR, few specials", PixelDecoder::bgrFormat, 0.05},
        {"RGBA, few specials", PixelDecoder::rgbaFormat, 0.05},
        {"L, few specials", PixelDecoder::luminanceFormat, 0.05},
        {"RGB, signed zeros only", PixelDecoder::rgbFormat, -1.0},
    };
    const Size sizes[] = {{7, 5},  {1, 9},  {13, 1},  {64, 20}, {130, 7},
                          {16, 1}, {16, 4}, {48, 13}, {160, 7}, {256, 9}};
    for (const auto& row : rows) {
        for (const Size& size : sizes) {
            const std::string name = caseName(row.name, size);
            SCOPED_TRACE(name);
            std::mt19937 rng = seededFor(name);
            std::uniform_real_distribution<float> uniform(-1.0e3f, 1.0e3f);
            std::uniform_real_distribution<double> share(0.0, 1.0);
            std::uniform_int_distribution<std::size_t> pick(0, std::size(specials) - 1);
            const std::size_t n =
                std::size_t(size.width) * size.height * PixelDecoder::numChannels(row.format);
            std::vector<float> values(n);
            for (float& v : values) {
                if (row.specialShare < 0.0)
                    v = share(rng) < 0.5 ? -0.0f : 0.0f;
                else
                    v = share(rng) < row.specialShare ? specials[pick(rng)] : uniform(rng);
            }
            const OwnedImage image =
                testing::floatImage(size.width, size.height, row.format, values);
            expectEverySetMatchesTheLiteralLoop(image.view());
            if (size.width % 16 == 0 && row.format != PixelDecoder::luminanceFormat) {
                SCOPED_TRACE("streaming stores");
                expectEverySetMatchesTheLiteralLoop(image.view(), Stores::Streaming);
            }
        }
    }
}

TEST(SummedAreaTableBuilder, StreamingFallsBackToCachedStoresWhereItCannotRun)
{
    std::mt19937 rng(7);
    const struct {
        const char* name;
        OwnedImage image;
        std::size_t misalign; // floats the tables are moved off their line boundary
    } cases[] = {
        {"width 17", testing::randomImage(17, 6, PixelDecoder::rgbFormat, f32, rng), 0},
        {"half floats", testing::randomImage(32, 6, PixelDecoder::rgbFormat, f16, rng), 0},
        {"luminance", testing::randomImage(32, 6, PixelDecoder::luminanceFormat, f32, rng), 0},
        {"tables off the line grid", testing::randomImage(32, 6, PixelDecoder::rgbFormat, f32, rng),
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const EnvironmentImage view = c.image.view();
        const std::size_t n = std::size_t(view.width) * std::size_t(view.height);
        TableVector energy(n + 16, -1.0e30f), color(3 * n + 16, -1.0e30f);
        float* const e = energy.data() + c.misalign;
        float* const col = color.data() + c.misalign;
        EXPECT_FALSE(SummedAreaTableBuilder::canStream(view, e, col));
        SummedAreaTableBuilder::build(view, e, col, Instructions::Fastest, Stores::Streaming);
        const literal::Tables want = literal::createSAT(view);
        expectBitIdentical(TableVector(e, e + n), want.energy, "energy");
        expectBitIdentical(TableVector(col, col + 3 * n), want.color, "colour");
    }
}

} // namespace
} // namespace Morvek
