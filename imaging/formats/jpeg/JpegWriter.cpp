#include "imaging/formats/jpeg/JpegWriter.h"

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/GreyLevel.h"
#include "imaging/formats/jpeg/JpegIo.h"

#include <algorithm>
#include <cstdint>

namespace {

// A marker's length field counts itself: 65535 - 2 bytes of text.
constexpr std::size_t kMaxMarkerData = 65533;

// Plain data for the function that calls setjmp.
struct JpegWriteSettings
{
    int quality = CJpegWriter::DefaultQuality;
    bool grey = false;
    const char* comment = nullptr;
    unsigned commentLength = 0;  // with the terminating zero
};

void RowToGrey(const std::uint8_t* bgr, JSAMPLE* grey, std::uint32_t width)
{
    for (std::uint32_t x = 0; x < width; ++x, bgr += 3)
        grey[x] = static_cast<JSAMPLE>(GreyLevel(bgr[2], bgr[1], bgr[0]));
}

// A stop leaves the compressor unfinished: finishing it with rows missing is itself an error, and
// the caller throws away what was written.
JpegPhase Compress(CJpegCompressor& jpeg, const CGraphicsImage& image, const JpegWriteSettings& settings,
                   const CGraphicsCodecInfo& info)
{
    if (setjmp(jpeg.errors().jump))
        return JpegPhase::Failed;
    StartJpegCompressor(jpeg);
    jpeg_compress_struct& cinfo = jpeg.cinfo();
    cinfo.image_width = image.Width();
    cinfo.image_height = image.Height();
    cinfo.input_components = settings.grey ? 1 : 3;
    // The picture's rows are B, G, R already, so colour rows go to libjpeg as they are.
    cinfo.in_color_space = settings.grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, settings.quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    if (settings.comment != nullptr)
        jpeg_write_marker(&cinfo, JPEG_COM, reinterpret_cast<const JOCTET*>(settings.comment),
                          settings.commentLength);

    JSAMPARRAY greyRow = nullptr;
    if (settings.grey)
        greyRow = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                             cinfo.image_width, 1);
    const std::uint32_t height = image.Height();
    for (std::uint32_t y = 0; y < height; ++y) {
        if (info.ProgressAsksToStop(static_cast<int>(std::uint64_t{y} * 100 / height)))
            return JpegPhase::Stopped;
        // libjpeg takes non-const rows but only reads them.
        auto* row = const_cast<JSAMPLE*>(image.RowTo24(image.Row(y)));
        if (settings.grey) {
            RowToGrey(row, greyRow[0], image.Width());
            row = greyRow[0];
        }
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    return JpegPhase::Done;
}

}  // namespace

void CJpegWriter::SetQuality(int quality)
{
    m_quality = std::clamp(quality, 0, 100);
}

void CJpegWriter::ThrowCreateError() const
{
    throw EJpegOpenError();
}

void CJpegWriter::Write(CDataStream& stream, const CGraphicsImage& image)
{
    if (image.IsEmpty())
        throw EJpegBadData();
    JpegWriteSettings settings;
    settings.quality = m_quality;
    settings.grey = m_grey;
    if (Info().HasComment()) {
        settings.comment = Info().Comment().c_str();
        settings.commentLength = static_cast<unsigned>(std::min(Info().CommentLength(), kMaxMarkerData));
    }
    CJpegCompressor jpeg(stream);
    ThrowForJpegPhase(Compress(jpeg, image, settings, Info()), jpeg.errors(), false);
}
