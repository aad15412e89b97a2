#pragma once

// Loads the shared lat-long EXR environments for the benchmarks as interleaved float RGB, top
// scan line first.

#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfInputFile.h>

#include <exception>
#include <string>
#include <vector>

namespace Morvek::bench {

struct Hdri {
    int width = 0;
    int height = 0;
    std::vector<float> rgb; // 3 * width * height
};

// The environments every real-image test and benchmark runs on.
inline const char* const HdriNames[] = {"courtyard", "forest", "interior", "sunrise", "sunset"};

// Path of a shared environment by name ("sunset"), from the folder the build was given.
inline std::string hdriPath(const std::string& name)
{
    return std::string(MORVEK_HDRI_DIR) + "/" + name + ".exr";
}

// Reads the R, G and B channels of an EXR file as 32-bit floats. On failure `error` says why
// and the result is empty.
inline Hdri loadHdri(const std::string& path, std::string& error)
{
    Hdri hdri;
    try {
        Imf::InputFile file(path.c_str());
        const Imath::Box2i window = file.header().dataWindow();
        const int w = window.max.x - window.min.x + 1;
        const int h = window.max.y - window.min.y + 1;
        std::vector<float> rgb(3 * std::size_t(w) * std::size_t(h));
        Imf::FrameBuffer frame;
        const std::size_t xStride = 3 * sizeof(float);
        const std::size_t yStride = xStride * std::size_t(w);
        char* origin = reinterpret_cast<char*>(rgb.data()) -
                       window.min.x * std::ptrdiff_t(xStride) -
                       window.min.y * std::ptrdiff_t(yStride);
        const char* channels[3] = {"R", "G", "B"};
        for (int k = 0; k < 3; ++k) {
            if (!file.header().channels().findChannel(channels[k])) {
                error = path + ": no " + channels[k] + " channel";
                return {};
            }
            frame.insert(channels[k],
                         Imf::Slice(Imf::FLOAT, origin + k * sizeof(float), xStride, yStride));
        }
        file.setFrameBuffer(frame);
        file.readPixels(window.min.y, window.max.y);
        hdri.width = w;
        hdri.height = h;
        hdri.rgb = std::move(rgb);
    } catch (const std::exception& e) {
        error = path + ": " + e.what();
        return {};
    }
    return hdri;
}

} // namespace Morvek::bench
