#include "imaging/formats/avif/AvifReader.h"

#include "imaging/DecoderSupport.h"
#include "imaging/ExifOrientation.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/avif/AvifErrors.h"

#include <avif/avif.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int kPercentDecoded = 70;
constexpr int kPercentConverted = 90;

struct DecoderDeleter
{
    void operator()(avifDecoder* decoder) const { avifDecoderDestroy(decoder); }
};
using Decoder = std::unique_ptr<avifDecoder, DecoderDeleter>;

struct ImageDeleter
{
    void operator()(avifImage* image) const { avifImageDestroy(image); }
};
using ImageView = std::unique_ptr<avifImage, ImageDeleter>;

void Check(avifResult result)
{
    switch (result) {
    case AVIF_RESULT_OK:
        return;
    case AVIF_RESULT_INVALID_FTYP:
        throw EAvifNotAAvifFile();
    case AVIF_RESULT_OUT_OF_MEMORY:
        throw EGraphicsMemory();
    case AVIF_RESULT_TRUNCATED_DATA:
    case AVIF_RESULT_IO_ERROR:
        throw EAvifFileReadError();
    case AVIF_RESULT_NO_CODEC_AVAILABLE:
    case AVIF_RESULT_NOT_IMPLEMENTED:
    case AVIF_RESULT_UNSUPPORTED_DEPTH:
    case AVIF_RESULT_REFORMAT_FAILED:
        throw EAvifNotSupported();
    case AVIF_RESULT_NO_CONTENT:
    case AVIF_RESULT_BMFF_PARSE_FAILED:
    case AVIF_RESULT_NO_AV1_ITEMS_FOUND:
    case AVIF_RESULT_DECODE_COLOR_FAILED:
    case AVIF_RESULT_DECODE_ALPHA_FAILED:
    case AVIF_RESULT_COLOR_ALPHA_SIZE_MISMATCH:
    case AVIF_RESULT_ISPE_SIZE_MISMATCH:
    case AVIF_RESULT_NO_IMAGES_REMAINING:
    case AVIF_RESULT_INVALID_IMAGE_GRID:
    case AVIF_RESULT_INVALID_ARGUMENT:
        throw EAvifCorruptFile();
    default:
        throw EAvifUnknownError();
    }
}

// A failure of a file whose last box is cut off is the end of the file coming too early.
void Check(avifResult result, const std::vector<std::uint8_t>& file)
{
    if (result != AVIF_RESULT_OK && BoxesReachPastEnd(file))
        throw EAvifFileReadError();
    Check(result);
}

// The rotation (anticlockwise quarter turns) and then the mirroring of the file, as the Exif
// orientation that does the same.
ExifOrientation OrientationOf(const avifImage& image)
{
    static constexpr ExifOrientation kTurned[4] = {ExifOrientation::Upright, ExifOrientation::TurnedRight,
                                                   ExifOrientation::UpsideDown, ExifOrientation::TurnedLeft};
    // Mirrored left to right after the turn, and top to bottom after it.
    static constexpr ExifOrientation kTurnedMirrored[4] = {ExifOrientation::Mirrored, ExifOrientation::Transversed,
                                                           ExifOrientation::UpsideDownMirrored,
                                                           ExifOrientation::Transposed};
    static constexpr ExifOrientation kTurnedFlipped[4] = {ExifOrientation::UpsideDownMirrored,
                                                          ExifOrientation::Transposed, ExifOrientation::Mirrored,
                                                          ExifOrientation::Transversed};
    const unsigned turns = (image.transformFlags & AVIF_TRANSFORM_IROT) != 0 ? image.irot.angle & 3u : 0u;
    if ((image.transformFlags & AVIF_TRANSFORM_IMIR) == 0)
        return kTurned[turns];
    return image.imir.mode == 1 ? kTurnedMirrored[turns] : kTurnedFlipped[turns];
}

// The decoded picture cut to its clean aperture; the whole picture when the file has none or one
// that does not fit.
ImageView CleanAperture(const avifImage& decoded)
{
    avifCropRect rect{0, 0, decoded.width, decoded.height};
    if ((decoded.transformFlags & AVIF_TRANSFORM_CLAP) != 0) {
        avifDiagnostics ignored;
        avifCropRect clean{};
        if (avifCropRectConvertCleanApertureBox(&clean, &decoded.clap, decoded.width, decoded.height,
                                                decoded.yuvFormat, &ignored) != 0)
            rect = clean;
    }
    ImageView view(avifImageCreateEmpty());
    if (view == nullptr)
        throw EGraphicsMemory();
    Check(avifImageSetViewRect(view.get(), &decoded, &rect));
    return view;
}

// The picture converted to 8-bit B, G, R (A), straight into the image's memory.
void Convert(const avifImage& picture, CGraphicsImage& target)
{
    const bool alpha = picture.alphaPlane != nullptr;
    target.CreateOrThrow(alpha ? 32 : 24, picture.width, picture.height, CGraphicsImage::NoFill);
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, &picture);
    rgb.format = alpha ? AVIF_RGB_FORMAT_BGRA : AVIF_RGB_FORMAT_BGR;
    rgb.depth = 8;
    rgb.alphaPremultiplied = AVIF_FALSE;
    rgb.pixels = target.Data();
    rgb.rowBytes = target.Stride();
    Check(avifImageYUVToRGB(&picture, &rgb));
    // libavif writes the top row first, at the start of the memory, where the image keeps its
    // bottom row.
    FlipRows(target);
}

// A decoder that has parsed the file.
Decoder CreateDecoder(const std::vector<std::uint8_t>& file)
{
    Decoder decoder(avifDecoderCreate());
    if (decoder == nullptr)
        throw EGraphicsMemory();
    decoder->maxThreads = 1;
    decoder->ignoreExif = AVIF_TRUE;
    decoder->ignoreXMP = AVIF_TRUE;
    // The library's limits are the image's (it takes no larger ones): a file that declares a larger
    // picture is refused while the boxes are parsed, before anything of its size is allocated.
    decoder->imageSizeLimit = static_cast<std::uint32_t>(CGraphicsImage::MaxPixels);
    decoder->imageDimensionLimit = CGraphicsImage::MaxDimension;
    // Files that leave out a box the format asks for still show as browsers show them.
    decoder->strictFlags = AVIF_STRICT_DISABLED;
    Check(avifDecoderSetIOMemory(decoder.get(), file.data(), file.size()));
    const avifResult parsed = avifDecoderParse(decoder.get());
    // The library says so only in its diagnostic text (for items and for grids alike).
    if (parsed != AVIF_RESULT_OK && std::strstr(decoder->diag.error, "dimensions are too large") != nullptr)
        throw EGraphicsPicSize();
    Check(parsed, file);
    return decoder;
}

}  // namespace

void CAvifReader::ThrowOpenError() const
{
    throw EAvifFileOpenError();
}

void CAvifReader::Read(CDataStream& stream, CGraphicsImage& image)
{
    std::vector<std::uint8_t> file;
    if (!ReadStreamContents(stream, file))
        throw EAvifFileReadError();
    Info().ReportProgress(0);

    const Decoder decoder = CreateDecoder(file);
    // The size the file declares, before the picture's planes are allocated.
    CheckPictureSize(decoder->image->width, decoder->image->height);
    if (decoder->image->width == 0 || decoder->image->height == 0)
        throw EAvifCorruptFile();
    // The AV1 decoder is held to the picture the boxes declare: a frame larger than that is refused
    // before its planes are allocated.
    decoder->imageSizeLimit = decoder->image->width * decoder->image->height;
    Check(avifDecoderReset(decoder.get()), file);
    Info().ReportProgress(1);
    Check(avifDecoderNextImage(decoder.get()), file);
    Info().ReportProgress(kPercentDecoded);

    const avifImage& decoded = *decoder->image;
    const ImageView picture = CleanAperture(decoded);
    const ExifOrientation orientation = OrientationOf(decoded);
    if (orientation == ExifOrientation::Upright) {
        Convert(*picture, image);
    } else {
        CGraphicsImage stored;
        Convert(*picture, stored);
        Info().ReportProgress(kPercentConverted);
        MakeUpright(stored, orientation, image);
    }
    static_cast<void>(Info().ProgressAsksToStop(100));
}
