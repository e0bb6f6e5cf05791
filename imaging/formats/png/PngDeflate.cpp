#include "imaging/formats/png/PngDeflate.h"

#include "imaging/GraphicsImage.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>

namespace {

constexpr std::size_t kWindow = 32 * 1024;
// Below this many pixels a second thread costs more than it saves.
constexpr std::uint64_t kThreadFromPixels = 1024 * 1024;
constexpr unsigned kMaxThreads = 4;
// The filtered rows are held whole; above this many pixels libpng's row-by-row writing saves the memory.
constexpr std::uint64_t kThreadUpToPixels = std::uint64_t{1} << 26;

// libpng's measure of a filtered row: the bytes taken as signed, summed by magnitude.
std::uint64_t Cost(const std::uint8_t* bytes, std::size_t size)
{
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < size; ++i)
        sum += bytes[i] < 128 ? bytes[i] : 256 - bytes[i];
    return sum;
}

int Paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

// Writes the filter byte and the filtered row to `out` (1 + size bytes); `previous` is the row
// above (zeros for the first).
void FilterRow(const std::uint8_t* row, const std::uint8_t* previous, std::size_t size, std::size_t pixelBytes,
               std::array<std::vector<std::uint8_t>, 5>& candidates, std::uint8_t* out)
{
    for (std::size_t i = 0; i < size; ++i) {
        const int left = i >= pixelBytes ? row[i - pixelBytes] : 0;
        const int up = previous[i];
        const int upLeft = i >= pixelBytes ? previous[i - pixelBytes] : 0;
        candidates[0][i] = row[i];
        candidates[1][i] = static_cast<std::uint8_t>(row[i] - left);
        candidates[2][i] = static_cast<std::uint8_t>(row[i] - up);
        candidates[3][i] = static_cast<std::uint8_t>(row[i] - ((left + up) >> 1));
        candidates[4][i] = static_cast<std::uint8_t>(row[i] - Paeth(left, up, upLeft));
    }
    std::size_t best = 0;
    std::uint64_t bestCost = Cost(candidates[0].data(), size);
    for (std::size_t filter = 1; filter < candidates.size(); ++filter) {
        const std::uint64_t cost = Cost(candidates[filter].data(), size);
        if (cost < bestCost) {
            best = filter;
            bestCost = cost;
        }
    }
    out[0] = static_cast<std::uint8_t>(best);
    std::memcpy(out + 1, candidates[best].data(), size);
}

// The image's rows in PNG order: R, G, B (and A), top row first.
void PngSamples(const CGraphicsImage& image, std::uint32_t y, bool withAlpha, std::uint8_t* out)
{
    const std::uint32_t width = image.Width();
    if (withAlpha) {
        const std::uint8_t* row = image.RowTo32(image.Row(y));
        for (std::uint32_t x = 0; x < width; ++x) {
            out[4 * x + 0] = row[4 * x + 2];
            out[4 * x + 1] = row[4 * x + 1];
            out[4 * x + 2] = row[4 * x + 0];
            out[4 * x + 3] = row[4 * x + 3];
        }
        return;
    }
    const std::uint8_t* row = image.RowTo24(image.Row(y));
    for (std::uint32_t x = 0; x < width; ++x) {
        out[3 * x + 0] = row[3 * x + 2];
        out[3 * x + 1] = row[3 * x + 1];
        out[3 * x + 2] = row[3 * x + 0];
    }
}

struct DeflatePart
{
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t dictionary = 0;  // bytes before data that prime the window
    bool first = false;
    bool last = false;
    std::vector<std::uint8_t> out;
    bool ok = false;
};

void DeflateOnePart(const PngCompression& compression, DeflatePart& part)
{
    z_stream z{};
    // The first part carries the zlib header; the others are raw deflate that continues it.
    const int windowBits = part.first ? 15 : -15;
    if (deflateInit2(&z, compression.level, Z_DEFLATED, windowBits, compression.memLevel, compression.strategy) != Z_OK)
        return;
    if (part.dictionary != 0 &&
        deflateSetDictionary(&z, part.data - part.dictionary, static_cast<uInt>(part.dictionary)) != Z_OK) {
        deflateEnd(&z);
        return;
    }
    try {
        part.out.resize(deflateBound(&z, part.size) + 16);
    } catch (const std::bad_alloc&) {
        // Runs on a worker thread: nothing may leave it.
        deflateEnd(&z);
        return;
    }
    z.next_in = const_cast<Bytef*>(part.data);
    z.avail_in = static_cast<uInt>(part.size);
    z.next_out = part.out.data();
    z.avail_out = static_cast<uInt>(part.out.size());
    // The last part ends the stream; a lone part with zlib's own trailer, joined parts get theirs
    // at the end. The others end on a byte boundary, where the next part takes over.
    const int flush = part.last ? Z_FINISH : Z_SYNC_FLUSH;
    const int result = deflate(&z, flush);
    part.ok = flush == Z_FINISH ? result == Z_STREAM_END : result == Z_OK;
    part.out.resize(part.out.size() - z.avail_out);
    deflateEnd(&z);
}

PngDeflateResult DeflateRows(const CGraphicsImage& image, bool withAlpha, const PngCompression& compression,
                             unsigned threads, const PngStopQuery& askStop, std::vector<std::uint8_t>& stream)
{
    const std::size_t pixelBytes = withAlpha ? 4 : 3;
    const std::size_t rowBytes = std::size_t{image.Width()} * pixelBytes;
    const std::uint32_t height = image.Height();
    std::vector<std::uint8_t> filtered((rowBytes + 1) * height);
    std::vector<std::uint8_t> previous(rowBytes, 0);
    std::vector<std::uint8_t> current(rowBytes);
    std::array<std::vector<std::uint8_t>, 5> candidates;
    for (auto& candidate : candidates)
        candidate.resize(rowBytes);
    for (std::uint32_t y = 0; y < height; ++y) {
        if (askStop && askStop(static_cast<int>(std::uint64_t{y} * 100 / height)))
            return PngDeflateResult::Stopped;
        PngSamples(image, y, withAlpha, current.data());
        FilterRow(current.data(), previous.data(), rowBytes, pixelBytes, candidates, &filtered[y * (rowBytes + 1)]);
        std::swap(previous, current);
    }

    // zlib counts its input in 32 bits: parts stay well below that.
    const std::size_t partCount =
        std::max<std::size_t>({std::size_t{std::max(threads, 1u)}, filtered.size() / (std::size_t{1} << 30) + 1});
    std::vector<DeflatePart> parts(partCount);
    const std::size_t step = filtered.size() / partCount;
    for (std::size_t i = 0; i < partCount; ++i) {
        const std::size_t begin = i * step;
        const std::size_t end = i + 1 == partCount ? filtered.size() : (i + 1) * step;
        parts[i].data = filtered.data() + begin;
        parts[i].size = end - begin;
        parts[i].dictionary = std::min(begin, kWindow);
        parts[i].first = i == 0;
        parts[i].last = i + 1 == partCount;
    }
    std::vector<std::thread> workers;
    try {
        for (std::size_t i = 1; i < parts.size(); ++i)
            workers.emplace_back(DeflateOnePart, std::cref(compression), std::ref(parts[i]));
    } catch (...) {
        // No thread to be had: the rest is deflated here.
    }
    DeflateOnePart(compression, parts[0]);
    for (std::size_t i = workers.size() + 1; i < parts.size(); ++i)
        DeflateOnePart(compression, parts[i]);
    for (std::thread& worker : workers)
        worker.join();

    stream.clear();
    for (const DeflatePart& part : parts) {
        if (!part.ok)
            return PngDeflateResult::Failed;
        stream.insert(stream.end(), part.out.begin(), part.out.end());
    }
    if (parts.size() > 1) {
        const uLong adler = adler32_z(adler32(0, nullptr, 0), filtered.data(), filtered.size());
        for (int shift = 24; shift >= 0; shift -= 8)
            stream.push_back(static_cast<std::uint8_t>(adler >> shift));
    }
    return PngDeflateResult::Done;
}

}  // namespace

unsigned PngDeflateThreads(const CGraphicsImage& image)
{
    const std::uint64_t pixels = std::uint64_t{image.Width()} * image.Height();
    if (pixels < kThreadFromPixels || pixels > kThreadUpToPixels)
        return 1;
    return std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads);
}

PngDeflateResult DeflatePngRows(const CGraphicsImage& image, bool withAlpha, const PngCompression& compression,
                                unsigned threads, const PngStopQuery& askStop, std::vector<std::uint8_t>& stream)
{
    try {
        return DeflateRows(image, withAlpha, compression, threads, askStop, stream);
    } catch (const std::bad_alloc&) {
        return PngDeflateResult::Failed;
    }
}
