#include "imaging/formats/jpeg/JpegReader.h"

#include "imaging/ExifOrientation.h"
#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/jpeg/JpegIo.h"
#include "support/DataStream.h"

#include <jerror.h>
#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr unsigned kMaxCommentMarker = 4096;
constexpr unsigned kMaxExifMarker = 0xFFFF;
constexpr int kApp1 = JPEG_APP0 + 1;

// Every 8x8 block of the most finely sampled component costs at least one bit (a DC difference in
// a progressive file; a DC difference and an end-of-block code in a sequential one), so no file
// can hold more than 512 pixels per byte. A file claiming more is refused before the pixels are
// allocated; the slack lets tiny files through.
constexpr std::uint64_t kMaxPixelsPerByte = 512;
constexpr std::uint64_t kSmallFileSlack = 1024;
// What libjpeg may allocate: the coefficients of a multi-scan file (two bytes per sample and
// component, blocks padded to whole MCUs) and its tables and row buffers.
constexpr std::uint64_t kMcuPadding = 32;
constexpr std::uint64_t kLibraryWorkingMemory = 32u << 20;

constexpr int kMaxRowsPerCall = 4;
constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;

JpegPhase ReadHeader(CJpegDecompressor& jpeg)
{
    if (setjmp(jpeg.errors().jump))
        return JpegPhase::Failed;
    StartJpegDecompressor(jpeg);
    jpeg_save_markers(&jpeg.cinfo(), JPEG_COM, kMaxCommentMarker);
    jpeg_save_markers(&jpeg.cinfo(), kApp1, kMaxExifMarker);
    jpeg_read_header(&jpeg.cinfo(), TRUE);
    return JpegPhase::Done;
}

// Four-component files store inverted ink (Adobe's convention, which every program that writes
// them follows): the light that a channel lets through is its value times the key's value.
void CmykToBgr(const JSAMPLE* cmyk, std::uint8_t* bgr, JDIMENSION width)
{
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const unsigned key = cmyk[3];
        bgr[0] = static_cast<std::uint8_t>((cmyk[2] * key + 127) / 255);
        bgr[1] = static_cast<std::uint8_t>((cmyk[1] * key + 127) / 255);
        bgr[2] = static_cast<std::uint8_t>((cmyk[0] * key + 127) / 255);
    }
}

int RowPercent(JDIMENSION y, JDIMENSION height)
{
    return static_cast<int>(std::uint64_t{y} * 100 / height);
}

// A photo's pixels are written whole right after they are allocated: in huge pages the kernel
// takes one fault where it would take 512, which is a fifth of the decoding time of a camera picture.
void AdviseHugePages(CGraphicsImage& image)
{
    const auto begin = reinterpret_cast<std::uintptr_t>(image.Data());
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (begin + image.ImageSize()) & ~(kHugePage - 1);
    if (last > first)
        static_cast<void>(::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE));
}

// A source that never suspends always gets rows; this only keeps the loop from running forever.
JpegPhase NoRowsRead(CJpegDecompressor& jpeg)
{
    jpeg.errors().messageCode = JERR_INPUT_EMPTY;
    return JpegPhase::Failed;
}

// Colour and grey rows are decoded into the picture rows themselves.
JpegPhase Decode(CJpegDecompressor& jpeg, CGraphicsImage& target, const CGraphicsCodecInfo& info)
{
    if (setjmp(jpeg.errors().jump))
        return JpegPhase::Failed;
    AdviseHugePages(target);
    jpeg_decompress_struct& cinfo = jpeg.cinfo();
    jpeg_start_decompress(&cinfo);
    const bool fromCmyk = cinfo.out_color_space == JCS_CMYK;
    JSAMPARRAY cmykRow = nullptr;
    if (fromCmyk)
        cmykRow = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                             cinfo.output_width * 4, 1);
    const JDIMENSION height = cinfo.output_height;
    const auto rowsPerCall = static_cast<JDIMENSION>(std::clamp(cinfo.rec_outbuf_height, 1, kMaxRowsPerCall));
    JSAMPROW rows[kMaxRowsPerCall] = {};
    while (cinfo.output_scanline < height) {
        const JDIMENSION y = cinfo.output_scanline;
        if (info.ProgressAsksToStop(RowPercent(y, height)))
            return JpegPhase::Stopped;
        if (fromCmyk) {
            if (jpeg_read_scanlines(&cinfo, cmykRow, 1) != 1)
                return NoRowsRead(jpeg);
            CmykToBgr(cmykRow[0], target.Row(y), cinfo.output_width);
            continue;
        }
        const JDIMENSION count = std::min(rowsPerCall, height - y);
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = target.Row(y + i);
        if (jpeg_read_scanlines(&cinfo, rows, count) == 0)
            return NoRowsRead(jpeg);
    }
    jpeg_finish_decompress(&cinfo);
    return JpegPhase::Done;
}

// The texts of all comment markers in file order, each up to its first zero.
void TakeComment(const jpeg_decompress_struct& cinfo, CGraphicsCodecInfo& info)
{
    std::string comment;
    for (jpeg_saved_marker_ptr marker = cinfo.marker_list; marker != nullptr; marker = marker->next) {
        if (marker->marker != JPEG_COM)
            continue;
        const auto* text = reinterpret_cast<const char*>(marker->data);
        comment.append(text, strnlen(text, marker->data_length));
    }
    info.SetComment(comment);
}

ExifOrientation FindOrientation(const jpeg_decompress_struct& cinfo)
{
    for (jpeg_saved_marker_ptr marker = cinfo.marker_list; marker != nullptr; marker = marker->next) {
        if (marker->marker != kApp1)
            continue;
        const ExifOrientation orientation = OrientationFromExif({marker->data, marker->data_length});
        if (orientation != ExifOrientation::Upright)
            return orientation;
    }
    return ExifOrientation::Upright;
}

// Colour and grey files come out as B, G, R; four-component ones as C, M, Y, K for the conversion
// above. Any other layout has no picture the library could show.
void ChooseOutput(jpeg_decompress_struct& cinfo)
{
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
        cinfo.out_color_space = JCS_EXT_BGR;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo.out_color_space = JCS_CMYK;
        break;
    default:
        throw EGraphicsWrongColor();
    }
}

// Refuses what the file cannot hold before anything of the picture's size is allocated, and holds
// libjpeg to what a real file of that size needs.
void CheckSize(jpeg_decompress_struct& cinfo, std::int64_t available)
{
    const std::uint64_t width = cinfo.image_width, height = cinfo.image_height;
    if (width > CGraphicsImage::MaxDimension || height > CGraphicsImage::MaxDimension)
        throw EGraphicsPicSize();
    if (available >= 0 && width * height > (std::uint64_t(available) + kSmallFileSlack) * kMaxPixelsPerByte)
        throw EJpegBadData();
    const std::uint64_t coefficients = (width + kMcuPadding) * (height + kMcuPadding) *
                                       static_cast<std::uint64_t>(cinfo.num_components) * 2;
    cinfo.mem->max_memory_to_use = static_cast<long>(coefficients + kLibraryWorkingMemory);
}

}  // namespace

void CJpegReader::ThrowOpenError() const
{
    throw EJpegOpenError();
}

void CJpegReader::Read(CDataStream& stream, CGraphicsImage& image)
{
    const std::int64_t available = std::int64_t{stream.Size()} - stream.Tell();
    CJpegDecompressor jpeg(stream);
    ThrowForJpegPhase(ReadHeader(jpeg), jpeg.errors(), true);
    jpeg_decompress_struct& cinfo = jpeg.cinfo();
    TakeComment(cinfo, Info());
    ChooseOutput(cinfo);
    CheckSize(cinfo, available);

    const ExifOrientation orientation = FindOrientation(cinfo);
    if (orientation == ExifOrientation::Upright) {
        image.CreateOrThrow(24, cinfo.image_width, cinfo.image_height, CGraphicsImage::NoFill);
        ThrowForJpegPhase(Decode(jpeg, image, Info()), jpeg.errors(), true);
    } else {
        CGraphicsImage stored;
        stored.CreateOrThrow(24, cinfo.image_width, cinfo.image_height, CGraphicsImage::NoFill);
        ThrowForJpegPhase(Decode(jpeg, stored, Info()), jpeg.errors(), true);
        MakeUpright(stored, orientation, image);
    }
    // The picture is complete: a stop asked for now changes nothing.
    static_cast<void>(Info().ProgressAsksToStop(100));
}
