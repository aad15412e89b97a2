#include "KernelClones.h"

#include "WavefrontKernel.h"

namespace Morvek {
namespace SatKernel {

namespace {

void buildBaseline(const EnvironmentImage& image, const PixelDecoder::Layout& layout,
                   float* energySAT, float* colorSAT, bool streamed)
{
    buildTables(image, layout, energySAT, colorSAT, streamed);
}

#if defined(__GNUC__) && defined(__x86_64__)
#define MORVEK_SAT_AVX2 1
// The same operations with AVX2's three-operand encodings: about a quarter fewer
// instructions. Still no fused multiply-add (not part of the avx2 target) and the same
// rounding, so the tables are the same bits.
__attribute__((target("avx2"))) void buildAvx2(const EnvironmentImage& image,
                                               const PixelDecoder::Layout& layout, float* energySAT,
                                               float* colorSAT, bool streamed)
{
    buildTables(image, layout, energySAT, colorSAT, streamed);
}
// AVX-512's 32 vector registers keep the wavefront out of the stack. Only its 128-bit
// instructions are used, and again no fused multiply-add.
__attribute__((target("avx2,avx512f,avx512vl"))) void
buildAvx512(const EnvironmentImage& image, const PixelDecoder::Layout& layout, float* energySAT,
            float* colorSAT, bool streamed)
{
    buildTables(image, layout, energySAT, colorSAT, streamed);
}
#endif

} // namespace

void buildWith(const EnvironmentImage& image, const PixelDecoder::Layout& layout, float* energySAT,
               float* colorSAT, SummedAreaTableBuilder::Instructions instructions, bool streamed)
{
    using Instructions = SummedAreaTableBuilder::Instructions;
#if MORVEK_SAT_AVX2
    static const bool avx512 =
        __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
    static const bool avx2 = __builtin_cpu_supports("avx2");
    const bool fastest = instructions == Instructions::Fastest;
    if (avx512 && (fastest || instructions == Instructions::Avx512)) {
        buildAvx512(image, layout, energySAT, colorSAT, streamed);
        return;
    }
    if (avx2 && instructions != Instructions::Baseline) {
        buildAvx2(image, layout, energySAT, colorSAT, streamed);
        return;
    }
#else
    (void)instructions;
#endif
    buildBaseline(image, layout, energySAT, colorSAT, streamed);
}

} // namespace SatKernel
} // namespace Morvek
