#include "JpegStream.h"

#include <algorithm>
#include <cstdint>

namespace Morvek {

namespace {

using Bytes = std::vector<unsigned char>;

struct Component {
    int id = 0;
    int h = 1;
    int v = 1;
    int table = 0;
    bool dcScanned = false;
};

struct Frame {
    bool seen = false;
    bool progressive = false;
    long long width = 0;
    long long height = 0;
    int maxH = 1;
    int maxV = 1;
    std::vector<Component> components;

    // Blocks of one component, without the padding to whole MCUs: a lower bound for any scan.
    long long blocks(const Component& c) const
    {
        const long long w = (width * c.h + maxH - 1) / maxH;
        const long long h = (height * c.v + maxV - 1) / maxV;
        return ((w + 7) / 8) * ((h + 7) / 8);
    }
};

std::string hex(int marker)
{
    const char* digits = "0123456789ABCDEF";
    return std::string("0x") + digits[(marker >> 4) & 15] + digits[marker & 15];
}

class Walker {
public:
    Walker(const Bytes& bytes, const ImageTarget& target, std::string& error)
        : _b(bytes), _target(target), _error(error)
    {
    }

    bool run();

private:
    bool corrupt(const std::string& problem)
    {
        _error = _target.path() + ": corrupt JPEG data: " + problem;
        return false;
    }
    bool truncated(const std::string& problem)
    {
        _error = _target.path() + ": truncated JPEG data: " + problem;
        return false;
    }
    int u16(std::size_t at) const { return _b[at] << 8 | _b[at + 1]; }

    bool frameHeader(int marker, std::size_t at, std::size_t length);
    bool huffmanTables(std::size_t at, std::size_t length);
    bool quantTables(std::size_t at, std::size_t length);
    bool scan(std::size_t at, std::size_t length);

    const Bytes& _b;
    const ImageTarget& _target;
    std::string& _error;
    Frame _frame;
    bool _dcTable[4] = {};
    bool _acTable[4] = {};
    bool _quantTable[4] = {};
    bool _scanned = false;
    std::size_t _pos = 2;
};

bool Walker::run()
{
    if (_b.size() < 2 || _b[0] != 0xff || _b[1] != 0xd8)
        return corrupt("no start-of-image marker");
    for (;;) {
        if (_pos >= _b.size())
            return truncated(_scanned ? "no end-of-image marker" : "no image data");
        if (_b[_pos] != 0xff)
            return corrupt("a marker was expected at byte " + std::to_string(_pos));
        while (_pos < _b.size() && _b[_pos] == 0xff)
            ++_pos; // fill bytes
        if (_pos >= _b.size())
            return truncated(_scanned ? "no end-of-image marker" : "no image data");
        const int marker = _b[_pos++];
        if (marker == 0xd9) {
            if (!_scanned)
                return truncated("no image data");
            return true;
        }
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7))
            continue; // standalone markers
        if (marker == 0xd8 || marker == 0x00)
            return corrupt("marker " + hex(marker) + " out of place");
        if (_b.size() - _pos < 2)
            return truncated("the stream ends inside marker " + hex(marker));
        const std::size_t length = std::size_t(u16(_pos));
        if (length < 2)
            return corrupt("marker " + hex(marker) + " has a length below 2");
        if (_b.size() - _pos < length)
            return truncated("the stream ends inside marker " + hex(marker));
        const std::size_t at = _pos + 2;
        const std::size_t body = length - 2;
        _pos += length;
        bool ok = true;
        if (marker == 0xc0 || marker == 0xc1 || marker == 0xc2)
            ok = frameHeader(marker, at, body);
        else if (marker >= 0xc3 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 &&
                 marker != 0xcc)
            return corrupt("lossless, hierarchical or arithmetic coding (frame marker " +
                           hex(marker) + ") is not supported");
        else if (marker == 0xc4)
            ok = huffmanTables(at, body);
        else if (marker == 0xdb)
            ok = quantTables(at, body);
        else if (marker == 0xda)
            ok = scan(at, body);
        if (!ok)
            return false;
    }
}

bool Walker::frameHeader(int marker, std::size_t at, std::size_t length)
{
    if (_frame.seen)
        return corrupt("a second frame header");
    if (length < 6)
        return corrupt("a short frame header");
    const int count = _b[at + 5];
    if (_b[at] != 8)
        return corrupt(std::to_string(_b[at]) + "-bit samples (only 8-bit is supported)");
    if (count != 1 && count != 3 && count != 4)
        return corrupt(std::to_string(count) + " colour components (1, 3 or 4 are supported)");
    if (length != 6 + 3 * std::size_t(count))
        return corrupt("a frame header of the wrong length");
    _frame.seen = true;
    _frame.progressive = marker == 0xc2;
    _frame.height = u16(at + 1);
    _frame.width = u16(at + 3);
    for (int i = 0; i < count; ++i) {
        const unsigned char* c = &_b[at + 6 + 3 * std::size_t(i)];
        Component component{c[0], c[1] >> 4, c[1] & 15, c[2]};
        if (component.h < 1 || component.h > 4 || component.v < 1 || component.v > 4 ||
            component.table > 3)
            return corrupt("component " + std::to_string(i + 1) + " has invalid sampling");
        _frame.maxH = std::max(_frame.maxH, component.h);
        _frame.maxV = std::max(_frame.maxV, component.v);
        _frame.components.push_back(component);
    }
    // A height of 0 (given later by a DNL marker) is refused here as having no pixels.
    return _target.checkSize(_frame.width, _frame.height, _error);
}

bool Walker::huffmanTables(std::size_t at, std::size_t length)
{
    const std::size_t end = at + length;
    while (at < end) {
        if (end - at < 17)
            return corrupt("a short Huffman table");
        const int cls = _b[at] >> 4;
        const int id = _b[at] & 15;
        if (cls > 1 || id > 3)
            return corrupt("Huffman table class " + std::to_string(cls) + ", number " +
                           std::to_string(id));
        // The codes of each length must fit in that many bits, and at most 256 symbols exist.
        std::size_t symbols = 0;
        std::uint32_t code = 0;
        for (int bits = 1; bits <= 16; ++bits) {
            const int n = _b[at + std::size_t(bits)];
            symbols += std::size_t(n);
            code += std::uint32_t(n);
            if (code > (1u << bits))
                return corrupt("a Huffman table whose code lengths do not fit");
            code <<= 1;
        }
        if (symbols > 256)
            return corrupt("a Huffman table of " + std::to_string(symbols) +
                           " symbols (at most 256)");
        if (end - at - 17 < symbols)
            return corrupt("a Huffman table longer than its marker");
        (cls == 0 ? _dcTable : _acTable)[id] = true;
        at += 17 + symbols;
    }
    return true;
}

bool Walker::quantTables(std::size_t at, std::size_t length)
{
    const std::size_t end = at + length;
    while (at < end) {
        const int precision = _b[at] >> 4;
        const int id = _b[at] & 15;
        if (precision > 1 || id > 3)
            return corrupt("quantisation table precision " + std::to_string(precision) +
                           ", number " + std::to_string(id));
        const std::size_t size = 1 + 64 * std::size_t(precision + 1);
        if (end - at < size)
            return corrupt("a quantisation table longer than its marker");
        _quantTable[id] = true;
        at += size;
    }
    return true;
}

bool Walker::scan(std::size_t at, std::size_t length)
{
    if (!_frame.seen)
        return corrupt("image data before the frame header");
    const std::size_t count = length ? _b[at] : 0;
    if (count < 1 || count > 4 || length != 4 + 2 * count)
        return corrupt("a scan header of the wrong length");
    const int start = _b[at + 1 + 2 * count];
    const int stop = _b[at + 2 + 2 * count];
    const int high = _b[at + 3 + 2 * count] >> 4;
    const bool dc = start == 0;
    long long blocks = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const int id = _b[at + 1 + 2 * i];
        const int dcTable = _b[at + 2 + 2 * i] >> 4;
        const int acTable = _b[at + 2 + 2 * i] & 15;
        Component* component = nullptr;
        for (Component& c : _frame.components)
            if (c.id == id)
                component = &c;
        if (!component)
            return corrupt("a scan names component " + std::to_string(id) +
                           ", which the frame does not have");
        if (dcTable > 3 || acTable > 3)
            return corrupt("a scan names Huffman table " +
                           std::to_string(std::max(dcTable, acTable)));
        if (!_quantTable[component->table])
            return corrupt("quantisation table " + std::to_string(component->table) +
                           " is used but not defined");
        // Progressive refinement of DC codes no symbols; every other pass uses its tables.
        const bool usesDc = dc && (!_frame.progressive || high == 0);
        const bool usesAc = _frame.progressive ? stop > 0 : true;
        if ((usesDc && !_dcTable[dcTable]) || (usesAc && !_acTable[acTable]))
            return corrupt("a scan uses a Huffman table that is not defined");
        if (_frame.progressive && !dc && !component->dcScanned)
            return corrupt("coefficients before the first scan of their component");
        if (dc) {
            component->dcScanned = true;
            blocks += _frame.blocks(*component);
        }
    }

    // Coded data up to the next marker; stuffed zeros and restart markers belong to it.
    long long coded = 0;
    std::size_t pos = _pos;
    for (;;) {
        if (pos >= _b.size())
            return truncated("the image data ends without an end-of-image marker");
        if (_b[pos] != 0xff) {
            ++coded;
            ++pos;
            continue;
        }
        if (pos + 1 >= _b.size())
            return truncated("the image data ends without an end-of-image marker");
        const int next = _b[pos + 1];
        if (next == 0x00) {
            ++coded;
            pos += 2;
        } else if (next >= 0xd0 && next <= 0xd7) {
            pos += 2;
        } else {
            break;
        }
    }
    // Every block in a scan that holds DC values takes at least one bit.
    if (coded * 8 < blocks)
        return truncated("a scan holds " + std::to_string(coded) + " bytes for " +
                         std::to_string(blocks) + " blocks of " + std::to_string(_frame.width) +
                         " x " + std::to_string(_frame.height) + " pixels");
    _pos = pos;
    _scanned = true;
    return true;
}

} // namespace

bool JpegStream::check(const Bytes& bytes, const ImageTarget& target, std::string& error)
{
    return Walker(bytes, target, error).run();
}

} // namespace Morvek
