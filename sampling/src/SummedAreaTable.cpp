#include <morvekSampling/SummedAreaTable.h>

#include <cstdlib>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace Morvek {

namespace {

// Tables from this size up start on a huge-page boundary and ask for huge pages.
constexpr std::size_t hugePageBytes = std::size_t(2) << 20;

// Every table has a page of slack in front of its entries (see placeFor).
constexpr std::size_t pageBytes = 4096;

// Storage for `count` floats and a page more (uninitialised), or null when memory runs out.
void* allocateStorage(std::size_t count)
{
    const std::size_t bytes = count * sizeof(float) + pageBytes;
    if (bytes < hugePageBytes)
        return std::malloc(bytes);
    const std::size_t rounded = (bytes + hugePageBytes - 1) / hugePageBytes * hugePageBytes;
    void* storage = std::aligned_alloc(hugePageBytes, rounded);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // Only advice: without huge pages the table works the same.
    if (storage)
        madvise(storage, rounded, MADV_HUGEPAGE);
#endif
    return storage;
}

} // namespace

SummedAreaTable::~SummedAreaTable() { std::free(_storage); }

SummedAreaTable::SummedAreaTable(SummedAreaTable&& other) noexcept
    : _storage(std::exchange(other._storage, nullptr)),
      _entries(std::exchange(other._entries, nullptr)), _width(std::exchange(other._width, 0)),
      _height(std::exchange(other._height, 0)), _channels(std::exchange(other._channels, 0))
{
}

SummedAreaTable& SummedAreaTable::operator=(SummedAreaTable&& other) noexcept
{
    if (this != &other) {
        std::free(_storage);
        _storage = std::exchange(other._storage, nullptr);
        _entries = std::exchange(other._entries, nullptr);
        _width = std::exchange(other._width, 0);
        _height = std::exchange(other._height, 0);
        _channels = std::exchange(other._channels, 0);
    }
    return *this;
}

bool SummedAreaTable::resize(std::uint16_t width, std::uint16_t height, int channels)
{
    if (_entries && width == _width && height == _height && channels == _channels)
        return true;
    release();
    const std::size_t count = std::size_t(channels) * width * height;
    if (count == 0 || channels <= 0)
        return true;
    _storage = allocateStorage(count);
    if (!_storage)
        return false;
    _entries = static_cast<float*>(_storage);
    _width = width;
    _height = height;
    _channels = channels;
    return true;
}

void SummedAreaTable::release()
{
    std::free(_storage);
    _storage = nullptr;
    _entries = nullptr;
    _width = 0;
    _height = 0;
    _channels = 0;
}

// Images and tables of a power-of-two width that both start near a page boundary would alias
// at nearly every pixel; `distance` apart (less than a page) they never meet.
void SummedAreaTable::placeFor(const void* pixels, std::size_t distance)
{
    if (!_storage)
        return;
    constexpr std::uintptr_t lineBytes = 64;
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(_storage);
    const std::uintptr_t want = reinterpret_cast<std::uintptr_t>(pixels) + distance;
    const std::uintptr_t shift = (want - at) % pageBytes / lineBytes * lineBytes;
    _entries = reinterpret_cast<float*>(static_cast<char*>(_storage) + shift);
}

} // namespace Morvek
