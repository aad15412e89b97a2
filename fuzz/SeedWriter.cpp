// Writes the fuzz targets' seed corpus: tiny valid pictures of every format the loader reads,
// made with the real encoders, into <folder>/imageLoader, and the same pictures behind a
// light count byte into <folder>/sampling. Run by hand when the corpus should change.

#include <Imath/half.h>
#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfOutputFile.h>

#include <stb_image_write.h>

#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A small sky: bright towards the top, one hot spot, values across several octaves.
float sky(int channel, int x, int y, int width, int height)
{
    const float base = 0.1f + 2.0f * float(height - y) / float(height) + 0.05f * float(channel);
    const bool sun = x == width / 3 && y == height / 4;
    return sun ? 40.0f + float(channel) : base;
}

void writeExr(const std::string& file, int width, int height, Imf::Compression compression,
              Imf::PixelType type, const char* channels)
{
    Imf::Header header(width, height);
    header.compression() = compression;
    std::vector<std::vector<float>> floats;
    std::vector<std::vector<half>> halves;
    Imf::FrameBuffer frame;
    for (int c = 0; channels[c] != '\0'; ++c) {
        const std::string name(1, channels[c]);
        header.channels().insert(name, Imf::Channel(type));
        std::vector<float>& values = floats.emplace_back();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                values.push_back(sky(c, x, y, width, height));
        if (type == Imf::HALF) {
            halves.emplace_back(values.begin(), values.end());
            frame.insert(name, Imf::Slice(Imf::HALF, reinterpret_cast<char*>(halves.back().data()),
                                          sizeof(half), sizeof(half) * std::size_t(width)));
        } else {
            frame.insert(name, Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(values.data()),
                                          sizeof(float), sizeof(float) * std::size_t(width)));
        }
    }
    Imf::OutputFile out(file.c_str(), header);
    out.setFrameBuffer(frame);
    out.writePixels(height);
}

std::vector<float> floatSky(int width, int height)
{
    std::vector<float> values;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                values.push_back(sky(c, x, y, width, height));
    return values;
}

std::vector<unsigned char> byteSky(int width, int height, int components)
{
    std::vector<unsigned char> values;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c)
                values.push_back(static_cast<unsigned char>(
                    std::lround(std::fmin(sky(c, x, y, width, height) * 100.0f, 255.0f))));
    return values;
}

bool writeSeeds(const fs::path& folder)
{
    const fs::path loader = folder / "imageLoader";
    const fs::path sampling = folder / "sampling";
    fs::create_directories(loader);
    fs::create_directories(sampling);
    auto at = [&](const char* name) { return (loader / name).string(); };

    const std::vector<float> hdr8x4 = floatSky(8, 4);
    const std::vector<float> hdr3x2 = floatSky(3, 2);
    bool ok = stbi_write_hdr(at("rle-8x4.hdr").c_str(), 8, 4, 3, hdr8x4.data()) &&
              stbi_write_hdr(at("flat-3x2.hdr").c_str(), 3, 2, 3, hdr3x2.data());
    const std::vector<unsigned char> rgb = byteSky(6, 4, 3);
    const std::vector<unsigned char> greyAlpha = byteSky(4, 3, 2);
    ok = ok && stbi_write_png(at("rgb-6x4.png").c_str(), 6, 4, 3, rgb.data(), 6 * 3) &&
         stbi_write_png(at("grey-alpha-4x3.png").c_str(), 4, 3, 2, greyAlpha.data(), 4 * 2) &&
         stbi_write_jpg(at("rgb-6x4.jpg").c_str(), 6, 4, 3, rgb.data(), 80);
    if (!ok)
        return false;
    writeExr(at("half-none-4x3.exr"), 4, 3, Imf::NO_COMPRESSION, Imf::HALF, "RGB");
    writeExr(at("float-zip-4x3.exr"), 4, 3, Imf::ZIP_COMPRESSION, Imf::FLOAT, "RGB");
    writeExr(at("half-piz-8x4.exr"), 8, 4, Imf::PIZ_COMPRESSION, Imf::HALF, "BGR");
    writeExr(at("half-rle-y-4x3.exr"), 4, 3, Imf::RLE_COMPRESSION, Imf::HALF, "Y");

    // The sampling target reads a light count, then the picture.
    for (const fs::directory_entry& entry : fs::directory_iterator(loader)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        for (const char lights : {'\x01', '\x05'}) {
            const fs::path to = sampling / (std::to_string(int(lights)) + "-lights-" +
                                            entry.path().filename().string());
            std::ofstream(to, std::ios::binary) << lights << bytes;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER\n", argv[0]);
        return 2;
    }
    try {
        if (writeSeeds(argv[1]))
            return 0;
        std::fprintf(stderr, "a picture could not be written\n");
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
    }
    return 1;
}
