#include "ExrReader.h"

#include <OpenEXR/Iex.h>
#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfIO.h>
#include <OpenEXR/ImfInputFile.h>

#include <cstdint>
#include <cstring>
#include <exception>

namespace Morvek {

namespace {

using Bytes = std::vector<unsigned char>;

// OpenEXR reads through this view of the file's bytes, so that every format is read from the
// same buffer and a short file reports itself the same way everywhere.
class ByteStream : public Imf::IStream {
public:
    ByteStream(const Bytes& bytes, const char* name) : Imf::IStream(name), _bytes(bytes) {}

    bool read(char c[], int n) override
    {
        // seekg takes any offset a chunk table holds: _pos may lie far past the end, where
        // _pos + n would wrap around.
        if (n < 0 || _pos > _bytes.size() || static_cast<std::uint64_t>(n) > _bytes.size() - _pos)
            throw Iex::InputExc("unexpected end of file");
        std::memcpy(c, _bytes.data() + _pos, static_cast<std::size_t>(n));
        _pos += static_cast<std::uint64_t>(n);
        return _pos < _bytes.size();
    }
    std::uint64_t tellg() override { return _pos; }
    void seekg(std::uint64_t pos) override { _pos = pos; }
    void clear() override {}

private:
    const Bytes& _bytes;
    std::uint64_t _pos = 0;
};

} // namespace

bool ExrReader::read(const std::vector<unsigned char>& bytes, ImageTarget& target,
                     std::string& error)
{
    try {
        const std::string& path = target.path();
        ByteStream stream(bytes, path.c_str());
        Imf::InputFile file(stream);
        const Imf::Header& header = file.header();
        const Imath::Box2i window = header.dataWindow();
        const long long width = static_cast<long long>(window.max.x) - window.min.x + 1;
        const long long height = static_cast<long long>(window.max.y) - window.min.y + 1;
        if (!target.checkSize(width, height, error))
            return false;

        const Imf::ChannelList& channels = header.channels();
        const bool hasR = channels.findChannel("R") != nullptr;
        const bool hasG = channels.findChannel("G") != nullptr;
        const bool hasB = channels.findChannel("B") != nullptr;
        const bool grey = !(hasR || hasG || hasB) && channels.findChannel("Y") != nullptr;
        if (!grey && !(hasR && hasG && hasB)) {
            std::string found;
            for (auto it = channels.begin(); it != channels.end(); ++it)
                found += (found.empty() ? "" : ", ") + std::string(it.name());
            error = path +
                    ": OpenEXR image without colour channels (needs R, G and B, or Y); it has " +
                    (found.empty() ? std::string("no channels") : found);
            return false;
        }

        if (!target.allocate(int(width), int(height), osg::Image::OSG_FLOAT32_IMAGEDATA, error))
            return false;
        const std::size_t pixelBytes = 3 * sizeof(float);
        const std::size_t rowBytes = target.rowBytes();

        // OpenEXR addresses a pixel as base + x * xStride + y * yStride with the data window's
        // own coordinates. The image keeps the bottom row first: the top row (min.y) lands in
        // the last row and each next row one row lower, so the row stride is negative.
        char* base =
            reinterpret_cast<char*>(target.pictureRow(0)) -
            static_cast<std::ptrdiff_t>(window.min.x) * static_cast<std::ptrdiff_t>(pixelBytes) +
            static_cast<std::ptrdiff_t>(window.min.y) * static_cast<std::ptrdiff_t>(rowBytes);
        Imf::FrameBuffer frame;
        const char* names[3] = {"R", "G", "B"};
        for (int c = 0; c < (grey ? 1 : 3); ++c)
            frame.insert(grey ? "Y" : names[c],
                         Imf::Slice(Imf::FLOAT, base + c * sizeof(float), pixelBytes,
                                    -static_cast<std::ptrdiff_t>(rowBytes)));
        file.setFrameBuffer(frame);
        file.readPixels(window.min.y, window.max.y);

        if (grey) {
            float* p = reinterpret_cast<float*>(target.pictureRow(target.height() - 1));
            for (std::size_t i = 0, n = static_cast<std::size_t>(width * height); i < n; ++i)
                p[3 * i + 1] = p[3 * i + 2] = p[3 * i];
        }
        return true;
    } catch (const std::exception& e) {
        error = target.path() + ": corrupt or truncated OpenEXR data (" + e.what() + ")";
        return false;
    }
}

} // namespace Morvek
