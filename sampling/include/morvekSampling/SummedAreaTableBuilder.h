#pragma once

#include <morvekSampling/EnvironmentImage.h>
#include <morvekSampling/PixelDecoder.h>
#include <morvekSampling/SummedAreaTable.h>

namespace Morvek {

// Builds the inclusive energy and colour summed-area tables of an environment image.
//
// Every entry is, bit for bit (a NaN may carry another payload, nothing else differs),
//   E(x, y) = ((E(x, y-1) + E(x-1, y)) - E(x-1, y-1)) + e(x, y)
//   C(x, y) = c(x, y) + ((C(x, y-1) + C(x-1, y)) - C(x-1, y-1))   per component,
// with +0 for any entry left of column 0 or above row 0, c the pixel's colour and e its
// energy (PixelDecoder). The row-to-row dependency is hidden by computing several rows at
// once in a wavefront, each row one column behind the row above it; energy and colour of a
// pixel travel together in one four-lane vector.
class SummedAreaTableBuilder {
public:
    // Which instructions to build with: Fastest is the best the processor offers; any other
    // names a set, or the best below it the processor has (AVX-512 > AVX2 > SSE2). All give
    // the same bits.
    enum class Instructions { Fastest, Avx512, Avx2, Baseline };

    // How entries reach memory. Cached stores leave the tables in the caches; streaming
    // stores write whole lines past them, which saves reading each line before it is
    // written. Chosen streams only tables of 4M entries or more, and only where the first
    // builds of such tables timed streaming faster. Streaming needs float RGB, BGR or RGBA
    // pixels, a width divisible by 16 and tables starting on 64-byte boundaries; any other
    // build uses cached stores. All give the same bits.
    enum class Stores { Chosen, Cached, Streaming };

    // Fills energySAT (width * height floats) and colorSAT (3 * width * height floats, red,
    // green and blue interleaved), both row-major, from an image whose layout (its
    // PixelDecoder::describe) is Readable. Entry (x, y) is element y * width + x (times 3 for
    // colour).
    static void build(const EnvironmentImage& image, const PixelDecoder::Layout& layout,
                      float* energySAT, float* colorSAT,
                      Instructions instructions = Instructions::Fastest,
                      Stores stores = Stores::Chosen);
    static void build(const EnvironmentImage& image, float* energySAT, float* colorSAT,
                      Instructions instructions = Instructions::Fastest,
                      Stores stores = Stores::Chosen)
    {
        build(image, PixelDecoder::describe(image), energySAT, colorSAT, instructions, stores);
    }

    // Makes `energy` (1 channel) and `colour` (3 channels) tables of the image's size, keeping
    // storage of that size, and places them for a build from its pixels: the energies a quarter
    // page after the pixels, the colours half a page after (modulo a page), so that neither
    // aliases the pixels the build reads. False, with both released, when memory runs out; an
    // image without pixels (a side of 0) leaves both null.
    static bool prepare(const EnvironmentImage& image, SummedAreaTable& energy,
                        SummedAreaTable& color);

    // What Chosen picked for tables of 4M entries or more: Cached or Streaming, or Chosen
    // while the first such builds are still being timed.
    static Stores largeTableStores();

    // True when a build of these tables from this image can use streaming stores.
    static bool canStream(const EnvironmentImage& image, const float* energySAT,
                          const float* colorSAT);
};

} // namespace Morvek
