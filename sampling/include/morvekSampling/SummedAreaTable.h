#pragma once

#include <cstddef>
#include <cstdint>

namespace Morvek {

// Storage of one summed-area table: `width` x `height` entries of `channels` floats each,
// row-major, entry (x, y) at element channels * (y * width + x). The table owns its storage and
// keeps it across builds of the same size; it is movable, not copyable (a copy of 64 MiB of
// tables is never what a caller means).
//
// Where the entries start inside the storage is chosen per build (placeFor): the builder reads
// pixel after pixel while it writes entry after entry, and the processor stalls a read whose
// address shares its low 12 bits with a pending write (4 KiB aliasing). Tables of 2 MiB and
// more ask the kernel for huge pages: one build touches every entry, and with 4 KiB pages the
// address translations of a 4096 x 2048 image cost a measurable share of it.
class SummedAreaTable {
public:
    // No storage: null, 0 x 0.
    SummedAreaTable() = default;
    ~SummedAreaTable();
    SummedAreaTable(SummedAreaTable&& other) noexcept;
    SummedAreaTable& operator=(SummedAreaTable&& other) noexcept;
    SummedAreaTable(const SummedAreaTable&) = delete;
    SummedAreaTable& operator=(const SummedAreaTable&) = delete;

    // Storage for width x height entries of `channels` floats (contents undefined); storage of
    // the same shape is kept. False, with the table released, when memory runs out.
    bool resize(std::uint16_t width, std::uint16_t height, int channels);
    // Frees the storage: null, 0 x 0.
    void release();

    // Moves the start of the entries within the storage so that it lies `distance` bytes after
    // `pixels` modulo a page, on the storage's 64-byte grid (which streaming stores need). The
    // entries' contents are undefined afterwards: call it before a build.
    void placeFor(const void* pixels, std::size_t distance);

    explicit operator bool() const { return _entries != nullptr; }
    float* data() { return _entries; }
    const float* data() const { return _entries; }
    float& operator[](std::size_t i) { return _entries[i]; }
    const float& operator[](std::size_t i) const { return _entries[i]; }

    std::uint16_t width() const { return _width; }
    std::uint16_t height() const { return _height; }
    int channels() const { return _channels; }
    // Floats of the entries: channels * width * height.
    std::size_t size() const { return std::size_t(_channels) * _width * _height; }

private:
    void* _storage = nullptr;  // what the allocator returned: a page more than the entries
    float* _entries = nullptr; // somewhere in the first page of _storage
    std::uint16_t _width = 0;
    std::uint16_t _height = 0;
    int _channels = 0;
};

} // namespace Morvek
