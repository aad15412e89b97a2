// Speed of the environment light's summed-area tables on real lat-long environments.
//
// Benchmarks, each at 1024x512, 4096x2048 and 8192x4096 float RGB (the shared EXR
// environments, tiled):
//   Literal  - the plain per-pixel loop the tables are defined by (the tests' reference);
//   Library  - EnvironmentLightProc::createSAT on an OpenSG image of those pixels;
//   OpenCV   - cv::integral on the same pixels, 32-bit float, colour only (built when found);
//   Rebuild64 - the whole rebuild through the host: an EnvironmentLight in a scene with
//              numLights 64 is told its numLights changed and the host's update runs (tables,
//              cut, ranking, 64 DirectionalLight nodes made, their processors attached, the
//              previous 64 removed); Rebuild256 the same with 256 lights (two smaller sizes);
//   Physical64, Physical256 - PhysicalExtraction::extract with 64 and 256 lights (two smaller
//              sizes): the physical method from decoded pixels to lights;
//   DecodeHdrOurs, DecodeHdrStb (4096x2048 only) - a Radiance file of those pixels, as
//              stb_image_write codes it, decoded from memory into float RGB by our reader (into
//              the OpenSG image) and by stb_image.
//   DecodeExr, PlainExr - at 1024x512 and 8192x4096, a DWAB-compressed half RGB file of those
//              pixels (written once into a temporary folder) read through loadImageFile, and
//              the same file read plainly: one OpenEXR InputFile without worker threads into a
//              float buffer. Wall time: the loader decodes on OpenEXR's worker threads.
// All table buffers are allocated and touched once before timing, so the times are the
// builds alone. After Google Benchmark's own report a table gives the time per pixel and the
// ratios, ending with one machine-readable line per size:
//   ratio 4096x2048 literal=0.29 opencv=0.45 rebuild=1.10
// (library / literal, library / OpenCV, full rebuild / library table build), then one line per
// size and light count for the physical method, its time over the node method's rebuild with as
// many lights and its irradiance error on those pixels:
//   physical 1024x512 64 ratio=1.70 error=0.0024
// then one line per size for the OpenEXR decode, loader over plain read in wall time:
//   decode exr 1024x512 ratio=0.80
// then the physical method's error on each shared environment as it is, the lights' share of
// its total and the degrees between the most powerful light and the brightest pixel:
//   quality sunset n=16 error=0.0182 total=1.000000 key=0.16
// and the Radiance decode's time, ours / stb's:
//   decode hdr 4096x2048 ratio=0.25

#include <morvekLightingNodePool/EnvironmentLight.h>
#include <morvekLightingNodePool/EnvironmentLightProc.h>
#include <morvekSampling/EnvironmentImage.h>
#include <morvekSampling/IrradianceError.h>
#include <morvekSampling/PhysicalExtraction.h>
#include <morvekSampling/PixelDecoder.h>
#include <morvekSampling/SummedAreaTableBuilder.h>

#include <morvekBase/RefPtr.h>
#include <morvekBase/Runtime.h>
#include <morvekCoreNodePool/Scene.h>
#include <morvekShapeNodePool/ImageFile.h>
#include <morvekShapeNodePool/Texture.h>

#include <OpenSG/OSGImage.h>

#include <Imath/half.h>
#include <ImfOutputFile.h>
#include <ImfThreading.h>

#include "HdriLoader.h"
#include "RadianceReader.h"
#include <morvekSampling/testSupport/LiteralSummedAreaTable.h>

#include <benchmark/benchmark.h>
#include <stb_image.h>
#include <stb_image_write.h>

#if MORVEK_HAVE_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace Morvek;

struct Size {
    int width;
    int height;
};
const Size Sizes[] = {{1024, 512}, {4096, 2048}, {8192, 4096}};
// The physical method is compared with the node method at these light counts, on the sizes up
// to this width.
const int physicalLights[] = {64, 256};
// OpenEXR decodes are timed at these sizes.
const Size decodeSizes[] = {{1024, 512}, {8192, 4096}};
constexpr int physicalMaxWidth = 4096;
constexpr double pi = 3.14159265358979323846;

std::string sizeName(int w, int h) { return std::to_string(w) + "x" + std::to_string(h); }

// Float RGB pixels of one size: the shared environments tiled side by side and row by row,
// a different one in each tile. Built once per size and kept for all benchmarks.
const std::vector<float>& environmentPixels(int width, int height)
{
    static std::vector<bench::Hdri> sources;
    static std::map<std::pair<int, int>, std::vector<float>> cache;
    if (sources.empty()) {
        for (const char* name : bench::HdriNames) {
            std::string error;
            sources.push_back(bench::loadHdri(bench::hdriPath(name), error));
            if (!error.empty()) {
                std::fprintf(stderr, "environmentLightBench: %s\n", error.c_str());
                std::exit(EXIT_FAILURE);
            }
        }
    }
    std::vector<float>& pixels = cache[{width, height}];
    if (pixels.empty()) {
        pixels.resize(3 * std::size_t(width) * height);
        const int tw = sources[0].width;
        const int th = sources[0].height;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const bench::Hdri& tile =
                    sources[std::size_t((x / tw) + 3 * (y / th)) % sources.size()];
                const float* from =
                    &tile.rgb[3 * (std::size_t(y % th) * tile.width + std::size_t(x % tw))];
                float* to = &pixels[3 * (std::size_t(y) * width + x)];
                to[0] = from[0], to[1] = from[1], to[2] = from[2];
            }
    }
    return pixels;
}

EnvironmentImage viewOf(const std::vector<float>& pixels, int width, int height)
{
    return {reinterpret_cast<const std::uint8_t*>(pixels.data()),
            pixels.size() * sizeof(float),
            width,
            height,
            PixelDecoder::rgbFormat,
            PixelDecoder::floatType};
}

void setPixelCounter(benchmark::State& state, int width, int height)
{
    state.counters["pixels"] = double(width) * height;
    state.SetItemsProcessed(state.iterations() * std::int64_t(width) * height);
}

void literalCreateSAT(benchmark::State& state, int w, int h)
{
    const EnvironmentImage image = viewOf(environmentPixels(w, h), w, h);
    literal::Tables tables;
    literal::createSAT(image, tables);
    for (auto _ : state) {
        literal::createSAT(image, tables);
        benchmark::DoNotOptimize(tables.energy.data());
        benchmark::ClobberMemory();
    }
    setPixelCounter(state, w, h);
}

// Opens the processor's table build to the benchmark.
class ProcProbe : public EnvironmentLightProc {
public:
    ProcProbe(NodeType& type, Node& node) : EnvironmentLightProc(type, node) {}
    using EnvironmentLightProc::_energySAT;
    using EnvironmentLightProc::createSAT;
};

// An OpenSG image holding a copy of the pixels (no reference taken: the caller owns it).
osg::ImagePtr imageOf(const std::vector<float>& pixels, int width, int height)
{
    osg::ImagePtr image = osg::ImageBase::create();
    image->set(osg::Image::OSG_RGB_PF, width, height, 1, 1, 1, 0.0,
               reinterpret_cast<const osg::UInt8*>(pixels.data()),
               osg::Image::OSG_FLOAT32_IMAGEDATA);
    return image;
}

void libraryCreateSAT(benchmark::State& state, int w, int h)
{
    Runtime::instance();
    RefPtr<EnvironmentLight> node(EnvironmentLight::create(nullptr, "bench", CreatorProgram));
    RefPtr<ProcProbe> proc(new ProcProbe(EnvironmentLight::classType(), *node));
    osg::ImagePtr image = imageOf(environmentPixels(w, h), w, h);
    osg::addRefCP(image);
    proc->createSAT(image);
    for (auto _ : state) {
        proc->createSAT(image);
        benchmark::DoNotOptimize(proc->_energySAT.data());
        benchmark::ClobberMemory();
    }
    setPixelCounter(state, w, h);
    osg::subRefCP(image);
}

void rebuild(benchmark::State& state, int w, int h, int lights)
{
    Runtime& runtime = Runtime::instance();
    RefPtr<Scene> scene(Scene::create("scene"));
    RefPtr<EnvironmentLight> env(EnvironmentLight::create(nullptr, "env", CreatorProgram));
    RefPtr<Texture> texture(Texture::create("sky"));
    scene->children().addChild(env.get());
    texture->setImage(imageOf(environmentPixels(w, h), w, h));
    env->numLights().setValue(lights);
    env->envTexture().setNode(texture.get());
    runtime.update(runtime.getTime() + 1.0);
    if (env->_lights().size() == 0)
        state.SkipWithError("the environment gave no light");
    for (auto _ : state) {
        env->numLights().setValue(lights);
        runtime.update(runtime.getTime() + 1.0);
    }
    setPixelCounter(state, w, h);
    scene.reset();
    env.reset();
    texture.reset();
    runtime.update(runtime.getTime() + 1.0);
}

RadianceImage radianceOf(const std::vector<float>& pixels, int width, int height)
{
    return {pixels.data(), width, height, false};
}

void physical(benchmark::State& state, int w, int h, int lights)
{
    const RadianceImage image = radianceOf(environmentPixels(w, h), w, h);
    for (auto _ : state) {
        PhysicalExtraction::Result result = PhysicalExtraction::extract(image, {lights});
        if (result.lights.size() != std::size_t(lights))
            state.SkipWithError(result.error.c_str());
        benchmark::DoNotOptimize(result.lights.data());
    }
    setPixelCounter(state, w, h);
}

// A Radiance file of the tiled environments, as stb_image_write codes it (run-length scan
// lines), made once per size.
const std::vector<unsigned char>& radianceFileBytes(int width, int height)
{
    static std::map<std::pair<int, int>, std::vector<unsigned char>> cache;
    std::vector<unsigned char>& bytes = cache[{width, height}];
    if (bytes.empty()) {
        auto append = [](void* to, void* data, int size) {
            const auto* from = static_cast<const unsigned char*>(data);
            static_cast<std::vector<unsigned char>*>(to)->insert(
                static_cast<std::vector<unsigned char>*>(to)->end(), from, from + size);
        };
        stbi_write_hdr_to_func(append, &bytes, width, height, 3,
                               environmentPixels(width, height).data());
    }
    return bytes;
}

// Our Radiance reader, from the file's bytes to the finished OpenSG image (made and freed).
void decodeHdrOurs(benchmark::State& state, int w, int h)
{
    Runtime::instance();
    const std::vector<unsigned char>& bytes = radianceFileBytes(w, h);
    for (auto _ : state) {
        ImageTarget target("bench.hdr");
        std::string error;
        if (!RadianceReader::read(bytes, target, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        osg::ImagePtr image = target.release();
        osg::addRefCP(image);
        benchmark::DoNotOptimize(image->getData());
        osg::subRefCP(image);
    }
    setPixelCounter(state, w, h);
}

// The environment pixels of one size as a DWAB-compressed half RGB file, written once into a
// temporary folder that is removed when the program ends.
const std::string& exrFile(int width, int height)
{
    struct Folder {
        std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("morvek-bench-exr-" + std::to_string(::getpid()));
        Folder() { std::filesystem::create_directories(path); }
        ~Folder() { std::filesystem::remove_all(path); }
    };
    static Folder folder;
    static std::map<std::pair<int, int>, std::string> files;
    std::string& file = files[{width, height}];
    if (file.empty()) {
        file = (folder.path / (sizeName(width, height) + ".exr")).string();
        const std::vector<float>& pixels = environmentPixels(width, height);
        std::vector<half> halves(pixels.begin(), pixels.end());
        Imf::Header header(width, height);
        header.compression() = Imf::DWAB_COMPRESSION;
        Imf::FrameBuffer frame;
        const char* names[3] = {"R", "G", "B"};
        for (int c = 0; c < 3; ++c) {
            header.channels().insert(names[c], Imf::Channel(Imf::HALF));
            frame.insert(names[c], Imf::Slice(Imf::HALF, reinterpret_cast<char*>(&halves[c]),
                                              3 * sizeof(half), 3 * sizeof(half) * width));
        }
        Imf::OutputFile out(file.c_str(), header);
        out.setFrameBuffer(frame);
        out.writePixels(height);
    }
    return file;
}

void decodeExr(benchmark::State& state, int w, int h)
{
    Runtime::instance();
    const std::string& file = exrFile(w, h);
    for (auto _ : state) {
        std::string error;
        osg::ImagePtr image = loadImageFile(file, error);
        if (image == osg::NullFC) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(image->getData());
        osg::addRefCP(image);
        osg::subRefCP(image);
    }
    setPixelCounter(state, w, h);
}

// stb_image's float decode of the same bytes, the peer the reader replaced.
void decodeHdrStb(benchmark::State& state, int w, int h)
{
    const std::vector<unsigned char>& bytes = radianceFileBytes(w, h);
    for (auto _ : state) {
        int width = 0;
        int height = 0;
        int channels = 0;
        float* pixels =
            stbi_loadf_from_memory(bytes.data(), int(bytes.size()), &width, &height, &channels, 3);
        if (!pixels) {
            state.SkipWithError(stbi_failure_reason());
            break;
        }
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    setPixelCounter(state, w, h);
}

void plainExr(benchmark::State& state, int w, int h)
{
    const std::string& file = exrFile(w, h);
    // No worker threads: every chunk is decoded on this thread.
    const int threads = Imf::globalThreadCount();
    Imf::setGlobalThreadCount(0);
    for (auto _ : state) {
        Imf::InputFile in(file.c_str(), 1);
        std::vector<float> rgb(3 * std::size_t(w) * std::size_t(h));
        Imf::FrameBuffer frame;
        const char* names[3] = {"R", "G", "B"};
        for (int c = 0; c < 3; ++c)
            frame.insert(names[c], Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(&rgb[c]),
                                              3 * sizeof(float), 3 * sizeof(float) * w));
        in.setFrameBuffer(frame);
        in.readPixels(0, h - 1);
        benchmark::DoNotOptimize(rgb.data());
    }
    Imf::setGlobalThreadCount(threads);
    setPixelCounter(state, w, h);
}

#if MORVEK_HAVE_OPENCV
void openCvIntegral(benchmark::State& state, int w, int h)
{
    const std::vector<float>& pixels = environmentPixels(w, h);
    const cv::Mat source(h, w, CV_32FC3, const_cast<float*>(pixels.data()));
    cv::Mat sum;
    cv::integral(source, sum, CV_32F);
    for (auto _ : state) {
        cv::integral(source, sum, CV_32F);
        benchmark::DoNotOptimize(sum.data);
        benchmark::ClobberMemory();
    }
    setPixelCounter(state, w, h);
}
#endif

// The Radiance decode is measured at this size only.
const Size radianceDecodeSize = {4096, 2048};

void registerAll()
{
    {
        const auto [w, h] = radianceDecodeSize;
        const std::string suffix = "/" + sizeName(w, h);
        benchmark::RegisterBenchmark(("DecodeHdrOurs" + suffix).c_str(), decodeHdrOurs, w, h)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("DecodeHdrStb" + suffix).c_str(), decodeHdrStb, w, h)
            ->Unit(benchmark::kMillisecond);
    }
    for (const Size& size : Sizes) {
        const std::string suffix = "/" + sizeName(size.width, size.height);
        benchmark::RegisterBenchmark(("Literal" + suffix).c_str(), literalCreateSAT, size.width,
                                     size.height)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Library" + suffix).c_str(), libraryCreateSAT, size.width,
                                     size.height)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Rebuild64" + suffix).c_str(), rebuild, size.width,
                                     size.height, 64)
            ->Unit(benchmark::kMillisecond);
        if (size.width <= physicalMaxWidth)
            for (const int lights : physicalLights) {
                const std::string count = std::to_string(lights);
                if (lights != 64)
                    benchmark::RegisterBenchmark(("Rebuild" + count + suffix).c_str(), rebuild,
                                                 size.width, size.height, lights)
                        ->Unit(benchmark::kMillisecond);
                benchmark::RegisterBenchmark(("Physical" + count + suffix).c_str(), physical,
                                             size.width, size.height, lights)
                    ->Unit(benchmark::kMillisecond);
            }
#if MORVEK_HAVE_OPENCV
        benchmark::RegisterBenchmark(("OpenCV" + suffix).c_str(), openCvIntegral, size.width,
                                     size.height)
            ->Unit(benchmark::kMillisecond);
#endif
    }
    for (const Size& size : decodeSizes) {
        const std::string suffix = "/" + sizeName(size.width, size.height);
        benchmark::RegisterBenchmark(("DecodeExr" + suffix).c_str(), decodeExr, size.width,
                                     size.height)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("PlainExr" + suffix).c_str(), plainExr, size.width,
                                     size.height)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
}

// Keeps Google Benchmark's console report and remembers each run's time per pixel.
class PerPixelReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration)
                continue;
            const auto pixels = run.counters.find("pixels");
            if (pixels == run.counters.end())
                continue;
            // CPU time per iteration in seconds, then per pixel in nanoseconds. CPU time, not
            // wall time: on a shared machine the wall clock also counts other programs' turns.
            // With repetitions the fastest run counts.
            // The decodes alone count wall time: the loader's work is spread over threads.
            const bool wall = run.run_name.function_name.rfind("Decode", 0) == 0 ||
                              run.run_name.function_name.rfind("Plain", 0) == 0;
            const double seconds = (wall ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime()) /
                                   benchmark::GetTimeUnitMultiplier(run.time_unit);
            const double ns = seconds * 1e9 / pixels->second;
            const auto known = nsPerPixel.find(run.run_name.function_name);
            if (known == nsPerPixel.end() || ns < known->second)
                nsPerPixel[run.run_name.function_name] = ns;
        }
    }
    std::map<std::string, double> nsPerPixel;
};

std::string formatRatio(double r)
{
    if (!std::isfinite(r))
        return "nan";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", r);
    return text;
}

const char* largeTableStoresName()
{
    switch (SummedAreaTableBuilder::largeTableStores()) {
    case SummedAreaTableBuilder::Stores::Streaming:
        return "streaming stores";
    case SummedAreaTableBuilder::Stores::Cached:
        return "cached stores";
    default:
        return "stores not chosen yet";
    }
}

void printSummary(const std::map<std::string, double>& ns)
{
    auto lookup = [&](const std::string& name) {
        const auto it = ns.find(name);
        return it == ns.end() ? std::nan("") : it->second;
    };
    std::printf("\n%-10s %12s %12s %12s %12s %16s %16s %16s\n", "size", "literal ns/px",
                "library ns/px", "opencv ns/px", "rebuild ns/px", "library/literal",
                "library/opencv", "rebuild/library");
    std::vector<std::string> lines;
    for (const Size& size : Sizes) {
        const std::string s = sizeName(size.width, size.height);
        const double literal = lookup("Literal/" + s);
        const double library = lookup("Library/" + s);
        const double opencv = lookup("OpenCV/" + s);
        const double rebuild = lookup("Rebuild64/" + s);
        std::printf("%-10s %12.3f %12.3f %12.3f %12.3f %16s %16s %16s\n", s.c_str(), literal,
                    library, opencv, rebuild, formatRatio(library / literal).c_str(),
                    formatRatio(library / opencv).c_str(), formatRatio(rebuild / library).c_str());
        lines.push_back("ratio " + s + " literal=" + formatRatio(library / literal) +
                        " opencv=" + formatRatio(library / opencv) +
                        " rebuild=" + formatRatio(rebuild / library));
    }
    // Which stores the large builds ended up with: the times above depend on it.
    std::printf("tables of 4M entries or more: %s\n", largeTableStoresName());

    for (const Size& size : Sizes) {
        if (size.width > physicalMaxWidth)
            continue;
        const std::string s = sizeName(size.width, size.height);
        const RadianceImage image =
            radianceOf(environmentPixels(size.width, size.height), size.width, size.height);
        for (const int n : physicalLights) {
            const std::string count = std::to_string(n);
            const double ratio =
                lookup("Physical" + count + "/" + s) / lookup("Rebuild" + count + "/" + s);
            const double error =
                IrradianceError::measure(image, PhysicalExtraction::extract(image, {n}).lights);
            char line[128];
            std::snprintf(line, sizeof line, "physical %s %d ratio=%s error=%.4f", s.c_str(), n,
                          formatRatio(ratio).c_str(), error);
            lines.push_back(line);
        }
    }
    for (const Size& size : decodeSizes) {
        const std::string s = sizeName(size.width, size.height);
        lines.push_back("decode exr " + s + " ratio=" +
                        formatRatio(lookup("DecodeExr/" + s) / lookup("PlainExr/" + s)));
    }
    for (const char* name : bench::HdriNames) {
        std::string error;
        const bench::Hdri hdri = bench::loadHdri(bench::hdriPath(name), error);
        const RadianceImage image = radianceOf(hdri.rgb, hdri.width, hdri.height);
        // Toward the centre of the brightest pixel (the first, if several tie).
        std::size_t brightest = 0;
        const auto luminanceAt = [&](std::size_t i) {
            const float* c = &hdri.rgb[3 * i];
            return 0.2125 * c[0] + 0.7154 * c[1] + 0.0721 * c[2];
        };
        for (std::size_t i = 1; i < hdri.rgb.size() / 3; ++i)
            if (luminanceAt(i) > luminanceAt(brightest))
                brightest = i;
        const double a = 2.0 * pi * (double(brightest % hdri.width) + 0.5) / hdri.width;
        const double t = pi * (double(brightest / hdri.width) + 0.5) / hdri.height;
        const double spot[3] = {std::cos(a) * std::sin(t), std::cos(t), std::sin(a) * std::sin(t)};
        for (const int n : {16, 64, 256}) {
            const PhysicalExtraction::Result result = PhysicalExtraction::extract(image, {n});
            double delivered = 0.0;
            for (const PhysicalLight& light : result.lights)
                delivered += light.irradiance[1];
            // The light shines away from where its light comes from.
            const std::array<double, 3>& d = result.lights[0].direction;
            const double toward = -(d[0] * spot[0] + d[1] * spot[1] + d[2] * spot[2]);
            char line[160];
            std::snprintf(line, sizeof line, "quality %s n=%d error=%.4f total=%.6f key=%.2f", name,
                          n, IrradianceError::measure(image, result.lights),
                          delivered / result.totalIrradiance[1],
                          std::acos(std::fmin(toward, 1.0)) * 180.0 / pi);
            lines.push_back(line);
        }
    }
    {
        const std::string s = sizeName(radianceDecodeSize.width, radianceDecodeSize.height);
        lines.push_back("decode hdr " + s + " ratio=" +
                        formatRatio(lookup("DecodeHdrOurs/" + s) / lookup("DecodeHdrStb/" + s)));
    }
    std::printf("\n");
    for (const std::string& line : lines)
        std::printf("%s\n", line.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return EXIT_FAILURE;
    registerAll();
    PerPixelReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printSummary(reporter.nsPerPixel);
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
