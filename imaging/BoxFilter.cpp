// Box filter: every target pixel is the weighted mean of the source area it covers. Rows are
// combined first into one line of 32-bit channel sums per source column, then the columns.
// Integer arithmetic only; a contribution is (channel * weight) >> 8 and a sum is normalised as
// (sum << 8) / span, so results are the same on every machine.

#include "imaging/BoxFilter.h"

#include <algorithm>
#include <bit>

namespace {

constexpr std::uint64_t maxStepProduct = 0x7FFFFFFF;

// The sums stay below 255 * span / 256, so sum << 8 stays below 255 * 2^23 < 2^31.
inline std::uint32_t Normalise(std::uint32_t sum, std::uint32_t span, const FixedDivider& divide)
{
    return span == 256 ? sum : divide(sum << 8);
}

struct Channels
{
    int count;            // 3 or 4 bytes per pixel in the lines and the target
    bool alphaAware;      // a 32-bit source of alpha kind 2
    int constantAlpha;    // -1, or the alpha every target pixel gets (alpha kinds 0 and 1)
};

const std::uint8_t* SourceRow(const CGraphicsImage& src, std::uint32_t y, int channels)
{
    const std::uint8_t* row = src.Row(y);
    return channels == 4 ? src.RowTo32(row) : src.RowTo24(row);
}

class BoxResampler
{
public:
    BoxResampler(const CGraphicsImage& src, CGraphicsImage& target, Channels channels)
        : m_src(src),
          m_target(target),
          m_channels(channels),
          m_columns(BoxSpans(src.Width(), target.Width())),
          m_line(std::size_t(src.Width()) * std::size_t(channels.count)),
          m_columnWeights(channels.alphaAware ? src.Width() : 0)
    {
        m_columnDividers.reserve(m_columns.size());
        for (const BoxSpan& span : m_columns)
            m_columnDividers.emplace_back(span.span);
    }

    void Run()
    {
        const std::vector<BoxSpan> rows = BoxSpans(m_src.Height(), m_target.Height());
        for (std::uint32_t y = 0; y < rows.size(); ++y) {
            if (m_channels.alphaAware) {
                CombineRowsWithAlpha(rows[y]);
                CombineColumnsWithAlpha(m_target.Row(y));
            } else {
                CombineRows(rows[y]);
                CombineColumns(m_target.Row(y));
            }
        }
    }

private:
    void CombineRows(const BoxSpan& rows)
    {
        std::fill(m_line.begin(), m_line.end(), 0u);
        const std::size_t n = m_line.size();
        std::uint32_t* line = m_line.data();
        for (std::uint32_t i = 0; i < rows.count; ++i) {
            const std::uint8_t* row = SourceRow(m_src, rows.first + i, m_channels.count);
            const std::uint32_t w = rows.Weight(i);
            if (w == 256) {
                for (std::size_t k = 0; k < n; ++k)
                    line[k] += row[k];
            } else {
                for (std::size_t k = 0; k < n; ++k)
                    line[k] += (std::uint32_t(row[k]) * w) >> 8;
            }
        }
        if (rows.span != 256) {
            const FixedDivider divide(rows.span);
            for (std::size_t k = 0; k < n; ++k)
                line[k] = divide(line[k] << 8);
        }
    }

    void CombineColumns(std::uint8_t* out)
    {
        if (m_channels.count == 3)
            CombineColumnsOf<3, 3>(out);
        else if (m_channels.constantAlpha >= 0)
            CombineColumnsOf<4, 3>(out);
        else
            CombineColumnsOf<4, 4>(out);
    }

    // Stride is the number of channels per pixel, Computed how many of them are filtered; a
    // constant alpha is stored instead of the fourth.
    template <int Stride, int Computed>
    void CombineColumnsOf(std::uint8_t* out)
    {
        const std::uint32_t* line = m_line.data();
        for (std::size_t x = 0; x < m_columns.size(); ++x, out += Stride) {
            const BoxSpan& span = m_columns[x];
            std::uint32_t sums[Computed] = {};
            const std::uint32_t* column = line + std::size_t(span.first) * Stride;
            for (std::uint32_t i = 0; i < span.count; ++i, column += Stride) {
                const std::uint32_t w = span.Weight(i);
                for (int c = 0; c < Computed; ++c)
                    sums[c] += (column[c] * w) >> 8;
            }
            for (int c = 0; c < Computed; ++c)
                out[c] = std::uint8_t(Normalise(sums[c], span.span, m_columnDividers[x]));
            if constexpr (Computed < Stride)
                out[3] = std::uint8_t(m_channels.constantAlpha);
        }
    }

    // Pixels with alpha 0 carry no colour: they count for the alpha only, and the colour is the
    // mean over the pixels that did take part.
    void CombineRowsWithAlpha(const BoxSpan& rows)
    {
        std::fill(m_line.begin(), m_line.end(), 0u);
        std::fill(m_columnWeights.begin(), m_columnWeights.end(), 0u);
        const std::uint32_t width = m_src.Width();
        for (std::uint32_t i = 0; i < rows.count; ++i) {
            const std::uint8_t* row = m_src.Row(rows.first + i);
            const std::uint32_t w = rows.Weight(i);
            std::uint32_t* line = m_line.data();
            for (std::uint32_t x = 0; x < width; ++x, row += 4, line += 4) {
                line[3] += (std::uint32_t(row[3]) * w) >> 8;
                if (row[3] == 0)
                    continue;
                line[0] += (std::uint32_t(row[0]) * w) >> 8;
                line[1] += (std::uint32_t(row[1]) * w) >> 8;
                line[2] += (std::uint32_t(row[2]) * w) >> 8;
                m_columnWeights[x] += w;
            }
        }
        const FixedDivider divide(rows.span);
        std::uint32_t* line = m_line.data();
        for (std::uint32_t x = 0; x < width; ++x, line += 4) {
            const std::uint32_t weight = m_columnWeights[x];
            // Inside a shape every pixel takes part and the weight is the whole span, whose
            // divider is at hand; only edge pixels need a division of their own.
            if (weight == rows.span)
                for (int c = 0; c < 3; ++c)
                    line[c] = Normalise(line[c], weight, divide);
            else if (weight != 0 && weight != 256)
                for (int c = 0; c < 3; ++c)
                    line[c] = (line[c] << 8) / weight;
            line[3] = Normalise(line[3], rows.span, divide);
        }
    }

    void CombineColumnsWithAlpha(std::uint8_t* out)
    {
        for (std::size_t x = 0; x < m_columns.size(); ++x, out += 4) {
            const BoxSpan& span = m_columns[x];
            std::uint32_t sums[4] = {0, 0, 0, 0};
            std::uint32_t weight = 0;
            const std::uint32_t* column = m_line.data() + std::size_t(span.first) * 4;
            for (std::uint32_t i = 0; i < span.count; ++i, column += 4) {
                const std::uint32_t w = span.Weight(i);
                sums[3] += (column[3] * w) >> 8;
                if (m_columnWeights[span.first + i] == 0)
                    continue;
                for (int c = 0; c < 3; ++c)
                    sums[c] += (column[c] * w) >> 8;
                weight += w;
            }
            if (weight == span.span)
                for (int c = 0; c < 3; ++c)
                    out[c] = std::uint8_t(Normalise(sums[c], weight, m_columnDividers[x]));
            else
                for (int c = 0; c < 3; ++c)
                    out[c] = std::uint8_t(weight != 0 && weight != 256 ? (sums[c] << 8) / weight : sums[c]);
            out[3] = std::uint8_t(Normalise(sums[3], span.span, m_columnDividers[x]));
        }
    }

    const CGraphicsImage& m_src;
    CGraphicsImage& m_target;
    Channels m_channels;
    std::vector<BoxSpan> m_columns;
    std::vector<FixedDivider> m_columnDividers;
    std::vector<std::uint32_t> m_line;
    std::vector<std::uint32_t> m_columnWeights;
};

}  // namespace

std::vector<BoxSpan> BoxSpans(std::uint32_t sourceSize, std::uint32_t targetSize)
{
    std::vector<BoxSpan> spans(targetSize);
    if (sourceSize == 0)
        return spans;
    std::uint64_t n = sourceSize;
    std::uint64_t d = targetSize;
    // Enlarging maps the end pixels onto each other.
    if (n < d) {
        --n;
        --d;
    }
    while (d > 0 && n % 2 == 0 && d % 2 == 0) {
        n /= 2;
        d /= 2;
    }
    while (n * targetSize * 256 > maxStepProduct) {
        n /= 2;
        d /= 2;
    }
    d = std::max<std::uint64_t>(d, 1);
    const std::uint64_t step = n * 256;
    const std::uint64_t limit = std::uint64_t(sourceSize) * 256;

    for (std::uint32_t i = 0; i < targetSize; ++i) {
        std::uint64_t start = i * step / d;
        std::uint64_t end = (i + 1) * step / d;
        end = std::min(std::max(end, start + 256), limit);
        if (end <= start) {
            // Rounding in the step can push the last span past the source; it takes the last pixel.
            start = limit - 256;
            end = limit;
        }
        BoxSpan& span = spans[i];
        span.first = std::uint32_t(start >> 8);
        const std::uint32_t last = std::uint32_t((end - 1) >> 8);
        span.count = last - span.first + 1;
        span.firstWeight = std::uint32_t(std::min(end, (std::uint64_t(span.first) + 1) * 256) - start);
        span.lastWeight = std::uint32_t(end - std::uint64_t(last) * 256);
        span.span = std::uint32_t(end - start);
    }
    return spans;
}

void BoxResample(const CGraphicsImage& src, CGraphicsImage& target)
{
    Channels channels{target.Bpp() == 32 ? 4 : 3, false, -1};
    if (src.Bpp() == 32) {
        const int kind = src.GetAlphaKind();
        channels.alphaAware = kind == 2;
        if (kind != 2)
            channels.constantAlpha = kind == 1 ? 255 : 0;
    }
    BoxResampler(src, target, channels).Run();
}
