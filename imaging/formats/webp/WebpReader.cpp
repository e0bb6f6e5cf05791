#include "imaging/formats/webp/WebpReader.h"

#include "imaging/DecoderSupport.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/webp/WebpErrors.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// The decoder gets the frame's data in this many steps, so that a stop is heard while it works.
constexpr std::size_t kDecodeSteps = 16;
constexpr std::size_t kSmallestStep = 64 * 1024;

struct DemuxerDeleter
{
    void operator()(WebPDemuxer* demuxer) const { WebPDemuxDelete(demuxer); }
};
using Demuxer = std::unique_ptr<WebPDemuxer, DemuxerDeleter>;

struct DecoderDeleter
{
    void operator()(WebPIDecoder* decoder) const { WebPIDelete(decoder); }
};
using Decoder = std::unique_ptr<WebPIDecoder, DecoderDeleter>;

// The first frame of the file, released with the iterator.
class FirstFrame
{
public:
    explicit FirstFrame(WebPDemuxer* demuxer) : m_found(WebPDemuxGetFrame(demuxer, 1, &m_iterator) != 0) {}
    ~FirstFrame() { WebPDemuxReleaseIterator(&m_iterator); }
    FirstFrame(const FirstFrame&) = delete;
    FirstFrame& operator=(const FirstFrame&) = delete;

    bool Found() const { return m_found; }
    const WebPIterator& operator*() const { return m_iterator; }
    const WebPIterator* operator->() const { return &m_iterator; }

private:
    WebPIterator m_iterator{};
    bool m_found = false;
};

[[noreturn]] void ThrowFor(VP8StatusCode status)
{
    switch (status) {
    case VP8_STATUS_OUT_OF_MEMORY:
        throw EGraphicsMemory();
    case VP8_STATUS_UNSUPPORTED_FEATURE:
        throw EWebpNotSupported();
    case VP8_STATUS_NOT_ENOUGH_DATA:
    case VP8_STATUS_SUSPENDED:
        throw EWebpFileReadError();
    case VP8_STATUS_BITSTREAM_ERROR:
    case VP8_STATUS_INVALID_PARAM:
        throw EWebpCorruptFile();
    default:
        throw EWebpUnknownError();
    }
}

Demuxer OpenDemuxer(const std::vector<std::uint8_t>& file)
{
    const WebPData data{file.data(), file.size()};
    WebPDemuxState state = WEBP_DEMUX_PARSE_ERROR;
    Demuxer demuxer(WebPDemuxPartial(&data, &state));
    if (demuxer != nullptr && state != WEBP_DEMUX_PARSE_ERROR)
        return demuxer;
    if (state == WEBP_DEMUX_PARSING_HEADER)
        throw EWebpFileReadError();
    const bool riff = file.size() >= 12 && std::equal(file.begin(), file.begin() + 4, "RIFF") &&
                      std::equal(file.begin() + 8, file.begin() + 12, "WEBP");
    if (!riff)
        throw EWebpNotAWebpFile();
    throw EWebpCorruptFile();
}

int RowPercent(const WebPIDecoder* decoder, int height)
{
    int lastRow = 0;
    WebPIDecGetRGB(decoder, &lastRow, nullptr, nullptr, nullptr);
    return static_cast<int>(std::int64_t{std::clamp(lastRow, 0, height)} * 100 / std::max(height, 1));
}

// Decodes the frame's data into its place on the canvas: the output rows run from the frame's top
// row downwards, which in the image's bottom-up memory is a negative stride.
void DecodeFrame(const WebPIterator& frame, CGraphicsImage& canvas, const CGraphicsCodecInfo& info)
{
    const std::size_t pixelBytes = static_cast<std::size_t>(canvas.Bpp()) / 8;
    WebPDecoderConfig config;
    if (WebPInitDecoderConfig(&config) == 0)
        throw EWebpUnknownError();
    WebPDecBuffer& output = config.output;
    output.colorspace = canvas.Bpp() == 32 ? MODE_BGRA : MODE_BGR;
    output.is_external_memory = 1;
    output.u.RGBA.rgba = canvas.Row(static_cast<std::uint32_t>(frame.y_offset)) +
                         pixelBytes * static_cast<std::size_t>(frame.x_offset);
    output.u.RGBA.stride = -static_cast<int>(canvas.Stride());
    output.u.RGBA.size = std::size_t{canvas.Stride()} * static_cast<std::size_t>(frame.height - 1) +
                         pixelBytes * static_cast<std::size_t>(frame.width);

    Decoder decoder(WebPINewDecoder(&output));
    if (decoder == nullptr)
        throw EGraphicsMemory();
    const std::uint8_t* bytes = frame.fragment.bytes;
    const std::size_t size = frame.fragment.size;
    const std::size_t step = std::max(size / kDecodeSteps, kSmallestStep);
    VP8StatusCode status = VP8_STATUS_SUSPENDED;
    for (std::size_t given = std::min(step, size); status == VP8_STATUS_SUSPENDED; given = std::min(given + step, size)) {
        info.ReportProgress(RowPercent(decoder.get(), frame.height));
        status = WebPIUpdate(decoder.get(), bytes, given);
        if (status == VP8_STATUS_SUSPENDED && given == size)
            throw EWebpFileReadError();
    }
    if (status != VP8_STATUS_OK)
        ThrowFor(status);
}

}  // namespace

void CWebpReader::ThrowOpenError() const
{
    throw EWebpFileOpenError();
}

void CWebpReader::Read(CDataStream& stream, CGraphicsImage& image)
{
    std::vector<std::uint8_t> file;
    if (!ReadStreamContents(stream, file))
        throw EWebpFileReadError();
    Info().ReportProgress(0);

    const Demuxer demuxer = OpenDemuxer(file);
    const std::uint32_t width = WebPDemuxGetI(demuxer.get(), WEBP_FF_CANVAS_WIDTH);
    const std::uint32_t height = WebPDemuxGetI(demuxer.get(), WEBP_FF_CANVAS_HEIGHT);
    if (width == 0 || height == 0)
        throw EWebpCorruptFile();
    CheckPictureSize(width, height);

    const FirstFrame frame(demuxer.get());
    if (!frame.Found() || frame->complete == 0)
        throw EWebpFileReadError();
    if (frame->x_offset < 0 || frame->y_offset < 0 || frame->width <= 0 || frame->height <= 0 ||
        std::uint64_t(frame->x_offset) + std::uint64_t(frame->width) > width ||
        std::uint64_t(frame->y_offset) + std::uint64_t(frame->height) > height)
        throw EWebpCorruptFile();
    // A frame that leaves part of the canvas uncovered shows transparency there.
    const bool coversCanvas = std::uint32_t(frame->width) == width && std::uint32_t(frame->height) == height;
    const bool alpha = frame->has_alpha != 0 || !coversCanvas;
    image.CreateOrThrow(alpha ? 32 : 24, width, height, coversCanvas ? CGraphicsImage::NoFill : 0);
    DecodeFrame(*frame, image, Info());
    // The picture is complete: a stop asked for now changes nothing.
    static_cast<void>(Info().ProgressAsksToStop(100));
}
