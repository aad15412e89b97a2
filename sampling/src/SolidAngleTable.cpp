#include "SolidAngleTable.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <thread>

namespace Morvek {

namespace {

float positive(float v) { return std::max(v, 0.0f); }

// Fewest rows of cells worth a thread of their own: below that, starting it costs more than
// the rows take to gather.
constexpr std::size_t minCellRowsPerThread = 8;

// Working rows of one block of a cell row, per pixel column (or per component of one), and
// the azimuths of all columns.
struct CellRowBuffers {
    static constexpr std::size_t cellsPerBlock = 64;

    std::vector<float> power, powerSin, powerCos; // 3 per column
    std::vector<float> lumSin, lumCos;
    std::vector<float> cosA, sinA; // every column of the picture

    CellRowBuffers(const LatLongGeometry& geometry, std::size_t factor)
        : power(3 * factor * cellsPerBlock), powerSin(power.size()), powerCos(power.size()),
          lumSin(factor * cellsPerBlock), lumCos(lumSin.size()), cosA(geometry.cosA.size()),
          sinA(cosA.size())
    {
        for (std::size_t x = 0; x < cosA.size(); ++x) {
            cosA[x] = float(geometry.cosA[x]);
            sinA[x] = float(geometry.sinA[x]);
        }
    }
};

// Gathers picture rows y0..y1 - 1 into one row of cells of `factor` columns: per component
// its sums of the value times the row's solid angle, and times that and sin t and cos t
// (single precision over at most a cell's rows and columns; the cells are double). It works
// through the row in blocks of whole cells small enough to stay in the first-level cache.
// Every operation is element by element and in a fixed order, so each instruction set below
// gives the same bits. False when a component is not finite.
inline bool gatherCellRow(const RadianceImage& image, const LatLongGeometry& geometry,
                          std::size_t y0, std::size_t y1, std::size_t factor, CellRowBuffers& b,
                          SolidAngleTable::Cell* cells, std::size_t cellCount)
{
    const std::size_t w = b.cosA.size();
    const std::size_t cellsPerBlock = CellRowBuffers::cellsPerBlock;
    const std::size_t block = factor * cellsPerBlock;
    float* power = b.power.data();
    float* powerSin = b.powerSin.data();
    float* powerCos = b.powerCos.data();
    float* lumSin = b.lumSin.data();
    float* lumCos = b.lumCos.data();
    for (std::size_t x0 = 0; x0 < w; x0 += block) {
        const std::size_t n = std::min(block, w - x0);
        std::fill(power, power + 3 * n, 0.0f);
        std::fill(powerSin, powerSin + 3 * n, 0.0f);
        std::fill(powerCos, powerCos + 3 * n, 0.0f);
        for (std::size_t y = y0; y < y1; ++y) {
            const float* rgb = image.row(int(y)) + 3 * x0;
            const float omega = float(geometry.solidAngle[y]);
            const float st = float(geometry.solidAngle[y] * geometry.sinT[y]);
            const float ct = float(geometry.solidAngle[y] * geometry.cosT[y]);
            std::uint32_t bad = 0;
            for (std::size_t i = 0; i < 3 * n; ++i) {
                std::uint32_t bits;
                std::memcpy(&bits, rgb + i, sizeof bits);
                // An exponent of all ones is an infinity or a NaN.
                bad |= (bits & 0x7f800000u) == 0x7f800000u;
                const float v = positive(rgb[i]);
                power[i] += omega * v;
                powerSin[i] += st * v;
                powerCos[i] += ct * v;
            }
            if (bad)
                return false;
        }
        for (std::size_t x = 0; x < n; ++x) {
            lumSin[x] = (0.2125f * powerSin[3 * x] + 0.7154f * powerSin[3 * x + 1]) +
                        0.0721f * powerSin[3 * x + 2];
            lumCos[x] = (0.2125f * powerCos[3 * x] + 0.7154f * powerCos[3 * x + 1]) +
                        0.0721f * powerCos[3 * x + 2];
        }
        const std::size_t firstCell = x0 / factor;
        const std::size_t lastCell = std::min(cellCount, firstCell + cellsPerBlock);
        for (std::size_t cx = firstCell; cx < lastCell; ++cx) {
            float c[6] = {};
            const std::size_t end = std::min(w, (cx + 1) * factor);
            for (std::size_t x = cx * factor; x < end; ++x) {
                const std::size_t i = x - x0;
                c[0] += power[3 * i];
                c[1] += power[3 * i + 1];
                c[2] += power[3 * i + 2];
                c[3] += b.cosA[x] * lumSin[i];
                c[4] += lumCos[i];
                c[5] += b.sinA[x] * lumSin[i];
            }
            for (std::size_t k = 0; k < 6; ++k)
                cells[cx][k] = double(c[k]);
        }
    }
    return true;
}

bool gatherBaseline(const RadianceImage& image, const LatLongGeometry& geometry, std::size_t y0,
                    std::size_t y1, std::size_t factor, CellRowBuffers& b,
                    SolidAngleTable::Cell* cells, std::size_t cellCount)
{
    return gatherCellRow(image, geometry, y0, y1, factor, b, cells, cellCount);
}

#if defined(__GNUC__) && defined(__x86_64__)
#define MORVEK_CELLS_AVX2 1
// Wider vectors, still no fused multiply-add: the same bits.
__attribute__((target("avx2"))) bool gatherAvx2(const RadianceImage& image,
                                                const LatLongGeometry& geometry, std::size_t y0,
                                                std::size_t y1, std::size_t factor,
                                                CellRowBuffers& b, SolidAngleTable::Cell* cells,
                                                std::size_t cellCount)
{
    return gatherCellRow(image, geometry, y0, y1, factor, b, cells, cellCount);
}
#endif

} // namespace

bool SolidAngleTable::gatherRows(const RadianceImage& image, const LatLongGeometry& geometry,
                                 std::size_t firstRow, std::size_t endRow)
{
    const std::size_t f = _factor;
    CellRowBuffers buffers(geometry, f);
#ifdef MORVEK_CELLS_AVX2
    const bool avx2 = __builtin_cpu_supports("avx2");
#endif
    for (std::size_t cy = firstRow; cy < endRow; ++cy) {
        const std::size_t y0 = cy * f;
        const std::size_t y1 = std::min(std::size_t(image.height), y0 + f);
        Cell* cells = _cells.data() + cy * _width;
#ifdef MORVEK_CELLS_AVX2
        const bool finite =
            avx2 ? gatherAvx2(image, geometry, y0, y1, f, buffers, cells, _width)
                 : gatherBaseline(image, geometry, y0, y1, f, buffers, cells, _width);
#else
        const bool finite = gatherBaseline(image, geometry, y0, y1, f, buffers, cells, _width);
#endif
        if (!finite)
            return false;
    }
    return true;
}

bool SolidAngleTable::build(const RadianceImage& image, const LatLongGeometry& geometry, int factor,
                            int threads)
{
    _factor = std::size_t(factor);
    _width = (std::size_t(image.width) + _factor - 1) / _factor;
    _height = (std::size_t(image.height) + _factor - 1) / _factor;
    _cells.resize(_width * _height);
    _table.resize(_width * _height);

    // Every cell is gathered on its own, so the rows of cells can be shared out: reading the
    // picture is what a large build waits on, and one core does not draw all the memory
    // bandwidth there is.
    const std::size_t parts = std::min<std::size_t>(
        std::max(threads, 1), std::max<std::size_t>(_height / minCellRowsPerThread, 1));
    bool finite = true;
    if (parts == 1) {
        finite = gatherRows(image, geometry, 0, _height);
    } else {
        std::vector<std::thread> helpers;
        std::vector<char> partFinite(parts, 1);
        const auto bounds = [&](std::size_t part) { return _height * part / parts; };
        try {
            for (std::size_t part = 1; part < parts; ++part)
                helpers.emplace_back([&, part] {
                    partFinite[part] = gatherRows(image, geometry, bounds(part), bounds(part + 1));
                });
        } catch (const std::system_error&) {
            // No thread to be had: the calling thread gathers what was left unstarted.
            for (std::size_t part = helpers.size() + 1; part < parts; ++part)
                partFinite[part] = gatherRows(image, geometry, bounds(part), bounds(part + 1));
        }
        partFinite[0] = gatherRows(image, geometry, 0, bounds(1));
        for (std::thread& helper : helpers)
            helper.join();
        finite = std::all_of(partFinite.begin(), partFinite.end(), [](char f) { return f != 0; });
    }
    if (!finite)
        return false;

    for (std::size_t cy = 0; cy < _height; ++cy) {
        const Cell* cells = _cells.data() + cy * _width;
        Sums run{};
        Sums* row = _table.data() + cy * _width;
        const Sums* above = cy > 0 ? row - _width : nullptr;
        for (std::size_t x = 0; x < _width; ++x) {
            const Cell& c = cells[x];
            run[0] += (0.2125 * c[0] + 0.7154 * c[1]) + 0.0721 * c[2];
            run[1] += c[3];
            run[2] += c[4];
            run[3] += c[5];
            for (std::size_t k = 0; k < 4; ++k)
                row[x][k] = above ? above[x][k] + run[k] : run[k];
        }
    }
    return true;
}

SolidAngleTable::Sums SolidAngleTable::sums(int x0, int y0, int x1, int y1) const
{
    const Sums& a = at(x1, y1);
    const Sums& b = at(x1, y0 - 1);
    const Sums& c = at(x0 - 1, y1);
    const Sums& d = at(x0 - 1, y0 - 1);
    Sums s;
    for (std::size_t k = 0; k < 4; ++k)
        s[k] = ((a[k] - b[k]) - c[k]) + d[k];
    return s;
}

} // namespace Morvek
