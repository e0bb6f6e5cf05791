#include "imaging/formats/tiff/LibtiffReader.h"

#include "imaging/GraphicsCodec.h"
#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/tiff/LibtiffHandle.h"
#include "imaging/formats/tiff/LibtiffWideSamples.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <optional>

namespace {

// Directories looked at for a full-resolution image before the first one is taken after all.
constexpr int kMaxDirectories = 1024;
// Pixels decoded per band between two progress reports (a band is whole strips or tile rows).
constexpr std::uint64_t kBandPixels = std::uint64_t{1} << 20;

[[noreturn]] void Fail(const char* message)
{
    throw ETiffError(message);
}

// Whether a file of `fileSize` bytes can code that many pixels, so that a few bytes cannot make us
// allocate and fill a picture at the size cap: libtiff's decoders take data that ends early for
// blank rest rows. CCITT codes a row in one bit at least, JPEG an 8 x 8 block in a few bits,
// uncompressed data a byte per 8 pixels at the most; other compressions up to deflate's and LZW's
// extremes.
bool FileCanHold(std::uint16_t compression, std::uint64_t fileSize, std::uint32_t width, std::uint32_t height)
{
    constexpr std::uint64_t slack = 1u << 16;
    const std::uint64_t pixels = std::uint64_t{width} * height;
    switch (compression) {
    case COMPRESSION_NONE:
        return pixels <= fileSize * 8 + slack;
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTRLEW:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4:
        return height <= fileSize * 8 + 64;
    case COMPRESSION_OJPEG:
    case COMPRESSION_JPEG:
        return pixels <= fileSize * 1024 + slack;
    default:
        return pixels <= fileSize * 65536 + slack;
    }
}

// The first directory that is not a reduced-resolution image, as our own reader chooses; the
// first directory when every one is. What libtiff complained about while reading directories it
// could still use does not count against the pixels (tiff2rgba goes on as well).
void SelectFullResolution(CLibtiffHandle& handle)
{
    TIFF* tiff = handle.Get();
    for (int index = 0; index < kMaxDirectories; ++index) {
        std::uint32_t subfile = 0;
        if (TIFFGetField(tiff, TIFFTAG_SUBFILETYPE, &subfile) == 0 || (subfile & FILETYPE_REDUCEDIMAGE) == 0) {
            handle.ForgetError();
            return;
        }
        if (TIFFReadDirectory(tiff) == 0)
            break;
    }
    if (TIFFCurrentDirectory(tiff) != 0 && TIFFSetDirectory(tiff, 0) == 0)
        Fail(GraphicsText::Tiff::ReadFailed);
    handle.ForgetError();
}

std::uint32_t PixelsPerMetre(TIFF* tiff, ttag_t tag, std::uint16_t unit)
{
    float resolution = 0;
    if ((unit != RESUNIT_INCH && unit != RESUNIT_CENTIMETER) || TIFFGetField(tiff, tag, &resolution) == 0 ||
        !(resolution >= 0))
        return 2835;
    const double perMetre = unit == RESUNIT_INCH ? 39.37 : 100.0;
    return std::uint32_t(std::min(std::lround(double(resolution) * perMetre), 0x7FFFFFFFL));
}

LibtiffPicture Describe(TIFF* tiff)
{
    LibtiffPicture picture;
    const char* description = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_IMAGEDESCRIPTION, &description) != 0 && description != nullptr)
        picture.comment = description;
    std::uint16_t unit = RESUNIT_NONE;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    picture.xPixelsPerMetre = PixelsPerMetre(tiff, TIFFTAG_XRESOLUTION, unit);
    picture.yPixelsPerMetre = PixelsPerMetre(tiff, TIFFTAG_YRESOLUTION, unit);
    return picture;
}

// The picture at the file's size, after the checks that come before libtiff decodes anything.
void CreatePicture(CLibtiffHandle& handle, CGraphicsImage& image, std::uint32_t width, std::uint32_t height, bool alpha)
{
    if (width == 0 || height == 0)
        Fail(GraphicsText::Tiff::BadEntry);
    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(handle.Get(), TIFFTAG_COMPRESSION, &compression);
    const toff_t fileSize = TIFFGetSizeProc(handle.Get())(TIFFClientdata(handle.Get()));
    if (!FileCanHold(compression, fileSize, width, height))
        Fail(GraphicsText::Tiff::ReadFailed);
    if (!image.Create(alpha ? 32 : 24, width, height, CGraphicsImage::NoFill))
        ThrowCreateError(image.ErrorCode());
}

// Ends libtiff's RGBA decoding state on every path.
class CRgbaDecoding
{
public:
    explicit CRgbaDecoding(CLibtiffHandle& handle)
    {
        char message[1024] = {};
        if (TIFFRGBAImageOK(handle.Get(), message) == 0)
            Fail(GraphicsText::Tiff::ModeNotSupported);
        if (TIFFRGBAImageBegin(&m_state, handle.Get(), 1, message) == 0)
            Fail(handle.HadError() ? GraphicsText::Tiff::ReadFailed : GraphicsText::Tiff::ModeNotSupported);
        m_begun = true;
        m_state.req_orientation = ORIENTATION_TOPLEFT;
    }
    ~CRgbaDecoding()
    {
        if (m_begun)
            TIFFRGBAImageEnd(&m_state);
    }
    CRgbaDecoding(const CRgbaDecoding&) = delete;
    CRgbaDecoding& operator=(const CRgbaDecoding&) = delete;

    TIFFRGBAImage& State() { return m_state; }

    // Whether libtiff, asked for the top row first, fills each band from its bottom row up: then
    // the file's first rows are the picture's last.
    bool FlipsVertically() const
    {
        switch (m_state.orientation) {
        case ORIENTATION_BOTLEFT:
        case ORIENTATION_BOTRIGHT:
        case ORIENTATION_LEFTBOT:
        case ORIENTATION_RIGHTBOT:
            return true;
        default:
            return false;
        }
    }

private:
    TIFFRGBAImage m_state{};
    bool m_begun = false;
};

// Rows per band: whole strips or rows of tiles, so that none is decoded twice, about kBandPixels.
std::uint32_t BandRows(TIFF* tiff, std::uint32_t width, std::uint32_t height)
{
    std::uint32_t unit = 0;
    if (TIFFIsTiled(tiff) != 0)
        TIFFGetField(tiff, TIFFTAG_TILELENGTH, &unit);
    else
        TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &unit);
    unit = std::clamp<std::uint32_t>(unit, 1, height);
    const std::uint64_t units = std::max<std::uint64_t>(1, kBandPixels / (std::uint64_t{unit} * width));
    return std::uint32_t(std::min<std::uint64_t>(units * unit, height));
}

void StoreRow(CGraphicsImage& image, std::uint32_t y, const std::uint32_t* abgr)
{
    std::uint8_t* target = image.Row(y);
    const std::uint32_t width = image.Width();
    if (image.Bpp() == 32) {
        // libtiff multiplies the colours by alpha; our pictures keep them apart, as PNG does.
        for (std::uint32_t x = 0; x < width; ++x, target += 4) {
            const std::uint32_t alpha = TIFFGetA(abgr[x]);
            auto straight = [alpha](std::uint32_t colour) {
                return std::uint8_t(alpha == 0 ? 0 : std::min<std::uint32_t>(255, (colour * 255 + alpha / 2) / alpha));
            };
            target[0] = straight(TIFFGetB(abgr[x]));
            target[1] = straight(TIFFGetG(abgr[x]));
            target[2] = straight(TIFFGetR(abgr[x]));
            target[3] = std::uint8_t(alpha);
        }
    } else {
        for (std::uint32_t x = 0; x < width; ++x, target += 3) {
            target[0] = std::uint8_t(TIFFGetB(abgr[x]));
            target[1] = std::uint8_t(TIFFGetG(abgr[x]));
            target[2] = std::uint8_t(TIFFGetR(abgr[x]));
        }
    }
}

}  // namespace

LibtiffPicture ReadTiffWithLibtiff(CDataStream& stream, CGraphicsImage& image, const CGraphicsCodecInfo& info,
                                   const char* openFailedText)
{
    CLibtiffHandle handle(stream);
    if (!handle.IsOpen())
        Fail(openFailedText);
    SelectFullResolution(handle);
    if (const std::optional<WideSampleLayout> wide = FindWideSamples(handle.Get())) {
        CreatePicture(handle, image, wide->width, wide->height, wide->HasAlpha());
        ReadWideSamples(handle, *wide, image, info);
        return Describe(handle.Get());
    }
    CRgbaDecoding decoding(handle);
    TIFFRGBAImage& rgba = decoding.State();
    const std::uint32_t width = rgba.width, height = rgba.height;
    CreatePicture(handle, image, width, height, rgba.alpha != 0);

    const std::uint32_t bandRows = BandRows(handle.Get(), width, height);
    // Left uninitialised: pages that a failing decode never reaches are never touched.
    const std::unique_ptr<std::uint32_t[]> raster(new (std::nothrow) std::uint32_t[std::size_t{bandRows} * width]);
    if (!raster)
        throw EGraphicsMemory();
    const bool flips = decoding.FlipsVertically();
    info.ReportProgress(0);
    for (std::uint32_t row = 0; row < height; row += bandRows) {
        const std::uint32_t rows = std::min(bandRows, height - row);
        rgba.row_offset = int(row);
        rgba.col_offset = 0;
        if (TIFFRGBAImageGet(&rgba, raster.get(), width, rows) == 0 || handle.HadError())
            Fail(GraphicsText::Tiff::ReadFailed);
        const std::uint32_t top = flips ? height - row - rows : row;
        for (std::uint32_t r = 0; r < rows; ++r)
            StoreRow(image, top + r, raster.get() + std::size_t{r} * width);
        info.ReportProgress(int(std::uint64_t{row + rows} * 100 / height));
    }
    return Describe(handle.Get());
}
