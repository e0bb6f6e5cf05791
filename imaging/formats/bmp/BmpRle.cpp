#include "imaging/formats/bmp/BmpRle.h"

#include "imaging/GraphicsCodec.h"
#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "support/DataStream.h"

#include <cstdint>

namespace {

class CRleDecoder
{
public:
    CRleDecoder(CDataStream& stream, CGraphicsImage& image, const CGraphicsCodecInfo& info)
        : m_stream(stream), m_image(image), m_info(info), m_fourBits(image.Bpp() == 4)
    {
    }

    void Run()
    {
        m_info.ReportProgress(0);
        for (;;) {
            const std::uint32_t count = Next();
            const std::uint32_t value = Next();
            if (count > 0) {
                Repeat(count, value);
                continue;
            }
            switch (value) {
            case 0:
                NextLine();
                break;
            case 1:
                return;
            case 2: {
                const std::uint32_t dx = Next();
                const std::uint32_t dy = Next();
                if (m_x + dx > m_image.Width() || m_row + dy > m_image.Height())
                    throw EBmpFileReadError();
                m_x += dx;
                m_row += dy;
                break;
            }
            default:
                Literal(value);
                break;
            }
        }
    }

private:
    std::uint32_t Next()
    {
        const std::int32_t byte = m_stream.ReadByte();
        if (byte < 0)
            throw EBmpFileReadError();
        return std::uint32_t(byte);
    }

    // Every run must lie inside the current row.
    std::uint8_t* Target(std::uint32_t count)
    {
        if (m_row >= m_image.Height() || m_x + count > m_image.Width())
            throw EBmpFileReadError();
        return m_image.Row(m_image.Height() - 1 - m_row);
    }

    void Put(std::uint8_t* row, std::uint32_t value)
    {
        if (!m_fourBits) {
            row[m_x++] = std::uint8_t(value);
            return;
        }
        const std::uint32_t nibble = value & 0x0F;
        std::uint8_t& byte = row[m_x >> 1];
        byte = (m_x & 1) != 0 ? std::uint8_t((byte & 0xF0) | nibble) : std::uint8_t((byte & 0x0F) | (nibble << 4));
        ++m_x;
    }

    // Four-bit runs alternate the two nibbles of the value, the high one first.
    void Repeat(std::uint32_t count, std::uint32_t value)
    {
        std::uint8_t* row = Target(count);
        for (std::uint32_t i = 0; i < count; ++i)
            Put(row, m_fourBits ? (value >> ((i & 1) != 0 ? 0 : 4)) : value);
    }

    // Literal runs are padded to an even number of bytes.
    void Literal(std::uint32_t count)
    {
        std::uint8_t* row = Target(count);
        const std::uint32_t bytes = m_fourBits ? (count + 1) / 2 : count;
        std::uint32_t byte = 0;
        for (std::uint32_t i = 0; i < count; ++i) {
            if (!m_fourBits) {
                Put(row, Next());
            } else {
                if ((i & 1) == 0)
                    byte = Next();
                Put(row, (i & 1) != 0 ? byte : byte >> 4);
            }
        }
        if ((bytes & 1) != 0)
            Next();
    }

    void NextLine()
    {
        m_x = 0;
        ++m_row;
        if (m_row < m_image.Height())
            m_info.ReportProgress(int(std::uint64_t{m_row} * 100 / m_image.Height()));
    }

    CDataStream& m_stream;
    CGraphicsImage& m_image;
    const CGraphicsCodecInfo& m_info;
    const bool m_fourBits;
    std::uint32_t m_x = 0;
    std::uint32_t m_row = 0;  // counted from the bottom
};

}  // namespace

void DecodeBmpRle(CDataStream& stream, CGraphicsImage& image, const CGraphicsCodecInfo& info)
{
    CRleDecoder(stream, image, info).Run();
}
