#include "imaging/formats/gif/GifWriter.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/gif/LzwEncoder.h"
#include "support/DataStream.h"

#include <algorithm>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t MaxCommentLength = 239;

void PutWord(Bytes& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

// The bits of the colour table an indexed image needs: its own depth up to 4 bpp, else enough for
// its highest index.
unsigned TableBits(const CGraphicsImage& image)
{
    if (image.Bpp() <= 4)
        return static_cast<unsigned>(image.Bpp());
    std::uint32_t highest = 0;
    for (std::uint32_t y = 0; y < image.Height() && highest < 128; ++y) {
        const std::uint8_t* row = image.Row(y);
        highest = std::max<std::uint32_t>(highest, *std::max_element(row, row + image.Width()));
    }
    unsigned bits = 1;
    while ((1u << bits) <= highest)
        ++bits;
    return bits;
}

void PutColourTable(Bytes& out, const CGraphicsImage& image, unsigned bits)
{
    for (unsigned i = 0; i < (1u << bits); ++i) {
        const RGBQUAD& entry = image.Palette()[i];
        out.insert(out.end(), {entry.rgbRed, entry.rgbGreen, entry.rgbBlue});
    }
}

bool SameColours(const CGraphicsImage& a, const CGraphicsImage& b, unsigned bits)
{
    for (unsigned i = 0; i < (1u << bits); ++i) {
        const RGBQUAD& x = a.Palette()[i];
        const RGBQUAD& y = b.Palette()[i];
        if (x.rgbRed != y.rgbRed || x.rgbGreen != y.rgbGreen || x.rgbBlue != y.rgbBlue)
            return false;
    }
    return true;
}

// An indexed image as it is, or a quantized copy of a true-colour one.
class CIndexedFrame
{
public:
    explicit CIndexedFrame(const CGraphicsImage& image) : m_image(&image)
    {
        if (image.Bpp() <= 8)
            return;
        if (!m_quantized.Quantize(image))
            throw EGifError(GraphicsText::Gif::CannotHandleFormat);
        m_image = &m_quantized;
    }
    const CGraphicsImage& operator*() const { return *m_image; }

private:
    const CGraphicsImage* m_image;
    CGraphicsImage m_quantized;
};

Bytes CommentExtension(const std::string& comment)
{
    Bytes text;
    for (const char c : comment)
        if (static_cast<unsigned char>(c) < 128 && text.size() < MaxCommentLength)
            text.push_back(static_cast<std::uint8_t>(c));
    if (text.empty())
        return text;
    Bytes out = {0x21, 0xFE, static_cast<std::uint8_t>(text.size())};
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
    return out;
}

}  // namespace

void CGifWriter::SetFrames(std::span<const CGraphicsImage* const> laterFrames)
{
    m_laterFrames.assign(laterFrames.begin(), laterFrames.end());
    m_frameCount = static_cast<unsigned>(m_laterFrames.size() + 1);
}

void CGifWriter::ThrowCreateError() const
{
    throw EGifError(GraphicsText::Gif::CreateFailed);
}

void CGifWriter::ThrowWriteError() const
{
    throw EGifError(GraphicsText::WriteFailed);
}

void CGifWriter::WriteBytes(CDataStream& stream, std::span<const std::uint8_t> bytes) const
{
    if (stream.Write(bytes) != static_cast<std::int32_t>(bytes.size()))
        ThrowWriteError();
}

void CGifWriter::Write(CDataStream& stream, const CGraphicsImage& image)
{
    if (image.IsEmpty())
        throw EGifError(GraphicsText::Gif::ImageEmpty);
    const CIndexedFrame first(image);
    const unsigned bits = TableBits(*first);

    Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
    PutWord(out, image.Width());
    PutWord(out, image.Height());
    out.push_back(static_cast<std::uint8_t>(0x80 | (bits - 1) << 4 | (bits - 1)));
    out.push_back(m_backgroundIndex);
    out.push_back(0);
    PutColourTable(out, *first, bits);
    if (FrameCount() > 1) {
        // The loop count is 0x0300, as it always was.
        static constexpr std::uint8_t netscape[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E',
                                                     '2',  '.',  '0',  0x03, 0x01, 0x00, 0x03, 0x00};
        out.insert(out.end(), std::begin(netscape), std::end(netscape));
    }
    if (Info().HasComment()) {
        const Bytes comment = CommentExtension(Info().Comment());
        out.insert(out.end(), comment.begin(), comment.end());
    }
    WriteBytes(stream, out);

    std::uint64_t rowsDone = 0;
    WriteFrame(stream, *first, *first, bits, rowsDone);
    for (unsigned i = 1; i < FrameCount(); ++i) {
        if (i - 1 >= m_laterFrames.size() || m_laterFrames[i - 1] == nullptr || m_laterFrames[i - 1]->IsEmpty())
            throw EGifError(GraphicsText::Gif::ImageMissing);
        const CIndexedFrame frame(*m_laterFrames[i - 1]);
        WriteFrame(stream, *frame, *first, bits, rowsDone);
    }
    static constexpr std::uint8_t trailer[] = {0x3B};
    WriteBytes(stream, trailer);
    Info().ReportProgress(100);
}

void CGifWriter::WriteFrame(CDataStream& stream, const CGraphicsImage& frame, const CGraphicsImage& first,
                            unsigned globalBits, std::uint64_t& rowsDone)
{
    const std::uint32_t width = first.Width();
    const std::uint32_t height = first.Height();
    Bytes out;
    if (m_transparentIndex < NoTransparency || FrameCount() > 1) {
        const std::uint8_t packed = (m_transparentIndex < NoTransparency ? 0x01 : 0x00) | (FrameCount() > 1 ? 0x0C : 0x00);
        out.insert(out.end(), {0x21, 0xF9, 0x04, packed});
        PutWord(out, m_delay);
        out.insert(out.end(), {static_cast<std::uint8_t>(m_transparentIndex), 0x00});
    }
    out.push_back(0x2C);
    PutWord(out, 0);
    PutWord(out, 0);
    PutWord(out, width);
    PutWord(out, height);
    // The global table shows a later frame's pixels in the first frame's colours: a frame with
    // colours of its own carries them along.
    const unsigned bits = &frame == &first ? globalBits : TableBits(frame);
    if (&frame != &first && (bits > globalBits || !SameColours(frame, first, bits))) {
        out.push_back(static_cast<std::uint8_t>(0x80 | (bits - 1)));
        PutColourTable(out, frame, bits);
    } else {
        out.push_back(0x00);
    }
    const int minCodeSize = std::max(frame.Bpp(), 2);
    out.push_back(static_cast<std::uint8_t>(minCodeSize));
    WriteBytes(stream, out);

    CLzwEncoder encoder(minCodeSize);
    const std::uint64_t totalRows = std::uint64_t{FrameCount()} * height;
    for (std::uint32_t y = 0; y < height; ++y) {
        Info().ReportProgress(static_cast<int>(rowsDone++ * 100 / totalRows));
        const bool inside = y < frame.Height();
        const std::uint32_t columns = inside ? std::min(width, frame.Width()) : 0;
        if (frame.Bpp() == 8) {
            const std::uint8_t* row = inside ? frame.Row(y) : nullptr;
            for (std::uint32_t x = 0; x < columns; ++x)
                encoder.Put(row[x]);
        } else {
            for (std::uint32_t x = 0; x < columns; ++x)
                encoder.Put(static_cast<std::uint8_t>(frame.GetPixelFn(x, y)));
        }
        for (std::uint32_t x = columns; x < width; ++x)
            encoder.Put(0);
        if (encoder.Blocks().size() >= 65536) {
            WriteBytes(stream, encoder.Blocks());
            encoder.Blocks().clear();
        }
    }
    encoder.Finish();
    encoder.Blocks().push_back(0);
    WriteBytes(stream, encoder.Blocks());
}
