#include "imaging/GraphicsFormats.h"

#include "imaging/ContainerSignatures.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/avif/AvifReader.h"
#include "imaging/formats/bmp/BmpReader.h"
#include "imaging/formats/bmp/BmpWriter.h"
#include "imaging/formats/eps/EpsReader.h"
#include "imaging/formats/eps/EpsWriter.h"
#include "imaging/formats/gif/GifReader.h"
#include "imaging/formats/gif/GifWriter.h"
#include "imaging/formats/heif/HeifReader.h"
#include "imaging/formats/icon/IconReader.h"
#include "imaging/formats/jpeg/JpegReader.h"
#include "imaging/formats/jpeg/JpegWriter.h"
#include "imaging/formats/png/PngReader.h"
#include "imaging/formats/png/PngWriter.h"
#include "imaging/formats/pnm/PnmReader.h"
#include "imaging/formats/pnm/PnmWriter.h"
#include "imaging/formats/tiff/TiffReader.h"
#include "imaging/formats/tiff/TiffWriter.h"
#include "imaging/formats/tls/TlsReader.h"
#include "imaging/formats/tls/TlsWriter.h"
#include "imaging/formats/webp/WebpReader.h"
#include "imaging/formats/xpm/XpmReader.h"
#include "imaging/formats/xpm/XpmWriter.h"
#include "imaging/formats/xwd/XwdReader.h"
#include "imaging/formats/xwd/XwdWriter.h"
#include "support/ByteOrder.h"

#include <algorithm>
#include <initializer_list>

namespace {

using namespace std::string_view_literals;

// Words the text tests look for turn up by chance in palettes, pixels and text chunks of binary
// files; a signature at the very start does not, so it is checked on the raw bytes and is final.
DetectMatch SignatureOr(const DetectHeader& h, std::initializer_list<std::string_view> signatures,
                        DetectMatch weaker = DetectMatch::None)
{
    for (const std::string_view signature : signatures)
        if (h.StartsWith(signature))
            return DetectMatch::Signature;
    return weaker;
}

DetectMatch DetectBmp(const DetectHeader& h)
{
    // Without the file header: a bare 40-byte bitmap-info header whose sides are below 65536.
    const bool bareInfoHeader = LoadLE32(h.raw.data()) == 40 && h.raw[6] == 0 && h.raw[7] == 0 &&
                                h.raw[10] == 0 && h.raw[11] == 0;
    return SignatureOr(h, {"BM"sv}, bareInfoHeader ? DetectMatch::BinaryLayout : DetectMatch::None);
}

DetectMatch DetectJpeg(const DetectHeader& h)
{
    if (h.StartsWith("\xFF\xD8\xFF"sv))
        return DetectMatch::Signature;
    if (h.raw[0] == 0xFF && (h.raw[1] == 0xD8 || h.raw[1] == 0xDB))
        return DetectMatch::Magic;
    return h.TextContains("JFIF") ? DetectMatch::JfifWord : DetectMatch::None;
}

DetectMatch DetectGif(const DetectHeader& h)
{
    return SignatureOr(h, {"GIF87a"sv, "GIF89a"sv});
}

DetectMatch DetectPng(const DetectHeader& h)
{
    return SignatureOr(h, {"\x89PNG"sv});
}

DetectMatch DetectTiff(const DetectHeader& h)
{
    const bool byteOrder = h.TextStartsWith("II") || h.TextStartsWith("MM");
    return SignatureOr(h, {"II*\0"sv, "MM\0*"sv}, byteOrder ? DetectMatch::ByteOrderMark : DetectMatch::None);
}

DetectMatch DetectXpm(const DetectHeader& h)
{
    return h.TextContains("XPM") || h.TextContains("char") ? DetectMatch::XpmWord : DetectMatch::None;
}

// An X window dump: a big-endian header size, then file version 7 (or 6).
DetectMatch DetectXwd(const DetectHeader& h)
{
    const auto& t = h.text;
    return t[4] == ' ' && t[5] == ' ' && t[6] == ' ' && (t[7] == 7 || t[7] == 6) ? DetectMatch::XwdVersion
                                                                                 : DetectMatch::None;
}

DetectMatch DetectPnm(const DetectHeader& h)
{
    return h.raw[0] == 'P' && h.raw[1] >= '1' && h.raw[1] <= '6' ? DetectMatch::Magic : DetectMatch::None;
}

DetectMatch DetectEps(const DetectHeader& h)
{
    // PostScript text, or a DOS EPS binary with its sections.
    return SignatureOr(h, {"%!"sv, "\xC5\xD0\xD3\xC6"sv});
}

DetectMatch DetectTls(const DetectHeader& h)
{
    return SignatureOr(h, {"TLSP"sv});
}

// An icon or cursor directory with 1 to 32 entries.
DetectMatch DetectIco(const DetectHeader& h)
{
    const auto& r = h.raw;
    const bool directory = r[0] == 0 && r[1] == 0 && (r[2] == 1 || r[2] == 2) && r[3] == 0 && r[5] == 0 &&
                           r[4] >= 1 && r[4] <= 32;
    return directory ? DetectMatch::BinaryLayout : DetectMatch::None;
}

// A RIFF file of form "WEBP", or an ISO media file whose "ftyp" box names an AVIF or HEIF brand:
// signatures at fixed places, so their binary fields are no text.
template <GraphicsFileType Container>
DetectMatch DetectContainer(const DetectHeader& h)
{
    return ContainerFileType(h.raw) == Container ? DetectMatch::Signature : DetectMatch::None;
}

// Alpha that means something: any in a 32-bit picture (all 0 reads as opaque), or a palette
// whose entries are opaque or fully transparent, some of each, as the GIF, XPM, PNG and icon
// readers mark a transparent colour. Other palette alpha is data of its own (a TLS sequence's
// attributes, whatever a BMP file left in its reserved bytes) and is not transparency.
bool HasAlphaToKeep(const CGraphicsImage& image)
{
    if (image.IsTrueColor())
        return image.HasAlpha();
    const RGBQUAD* palette = image.Palette();
    const bool binary = std::all_of(palette, palette + image.PaletteCount(), [](const RGBQUAD& entry) {
        return entry.rgbReserved == 0 || entry.rgbReserved == 255;
    });
    return binary && image.GetAlphaKind() == 2;
}

// The colour a GIF of an indexed picture names transparent: the first fully transparent palette
// entry that a pixel uses, or none.
unsigned TransparentIndexFor(const CGraphicsImage& image)
{
    if (image.IsTrueColor() || !HasAlphaToKeep(image))
        return CGifWriter::NoTransparency;
    std::array<bool, 256> used{};
    for (std::uint32_t y = 0; y < image.Height(); ++y) {
        const std::uint8_t* indices = image.RowTo8(image.Row(y));
        for (std::uint32_t x = 0; x < image.Width(); ++x)
            used[indices[x]] = true;
    }
    for (int i = 0; i < image.PaletteCount(); ++i)
        if (used[std::size_t(i)] && image.Palette()[i].rgbReserved == 0)
            return unsigned(i);
    return CGifWriter::NoTransparency;
}

// A picture with alpha keeps it where the format can hold it.
std::unique_ptr<CGraphicsWriter> CreatePngWriter(const CGraphicsImage& image)
{
    auto writer = std::make_unique<CPngWriter>();
    writer->SetWithAlpha(HasAlphaToKeep(image));
    return writer;
}

std::unique_ptr<CGraphicsWriter> CreateGifWriter(const CGraphicsImage& image)
{
    auto writer = std::make_unique<CGifWriter>();
    writer->SetTransparentIndex(TransparentIndexFor(image));
    return writer;
}

template <class Reader>
std::unique_ptr<CGraphicsReader> Make()
{
    return std::make_unique<Reader>();
}

template <class Writer>
std::unique_ptr<CGraphicsWriter> MakeFor(const CGraphicsImage&)
{
    return std::make_unique<Writer>();
}

constexpr std::string_view kBmpExtensions[] = {".BMP"};
constexpr std::string_view kJpegExtensions[] = {".JPG", ".JPEG"};
constexpr std::string_view kGifExtensions[] = {".GIF"};
constexpr std::string_view kPngExtensions[] = {".PNG"};
constexpr std::string_view kTiffExtensions[] = {".TIFF", ".TIF"};
constexpr std::string_view kXpmExtensions[] = {".XPM"};
constexpr std::string_view kXwdExtensions[] = {".XWD"};
// The netpbm names: the PNM writer picks the kind of file that fits the picture, as for ".PNM".
constexpr std::string_view kPnmExtensions[] = {".PNM", ".PPM", ".PGM", ".PBM"};
constexpr std::string_view kEpsExtensions[] = {".PS", ".EPS", ".PRN"};
constexpr std::string_view kTlsExtensions[] = {".TLSP"};

using Type = GraphicsFileType;

const GraphicsFormat kFormats[] = {
    {Type::Bmp, DetectBmp, kBmpExtensions, Make<CBmpReader>, MakeFor<CBmpWriter>},
    {Type::Jpeg, DetectJpeg, kJpegExtensions, Make<CJpegReader>, MakeFor<CJpegWriter>},
    {Type::Gif, DetectGif, kGifExtensions, Make<CGifReader>, CreateGifWriter},
    {Type::Png, DetectPng, kPngExtensions, Make<CPngReader>, CreatePngWriter},
    {Type::Tiff, DetectTiff, kTiffExtensions, Make<CTiffReader>, MakeFor<CTiffWriter>},
    {Type::Xpm, DetectXpm, kXpmExtensions, Make<CXpmReader>, MakeFor<CXpmWriter>},
    {Type::Xwd, DetectXwd, kXwdExtensions, Make<CXwdReader>, MakeFor<CXwdWriter>},
    {Type::Pnm, DetectPnm, kPnmExtensions, Make<CPnmReader>, MakeFor<CPnmWriter>},
    {Type::Eps, DetectEps, kEpsExtensions, Make<CEpsReader>, MakeFor<CEpsWriter>},
    {Type::Tls, DetectTls, kTlsExtensions, Make<CTlsReader>, MakeFor<CTlsWriter>},
    {Type::Ico, DetectIco, {}, Make<CIcoReader>, nullptr},
    {Type::Webp, DetectContainer<Type::Webp>, {}, Make<CWebpReader>, nullptr},
    {Type::Avif, DetectContainer<Type::Avif>, {}, Make<CAvifReader>, nullptr},
    {Type::Heif, DetectContainer<Type::Heif>, {}, Make<CHeifReader>, nullptr},
};

bool SameBytes(std::span<const std::uint8_t> bytes, std::string_view text)
{
    return std::equal(text.begin(), text.end(), bytes.begin(),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

}  // namespace

DetectHeader::DetectHeader(std::span<const std::uint8_t> header)
{
    std::copy_n(header.begin(), std::min(header.size(), raw.size()), raw.begin());
    std::replace_copy(raw.begin(), raw.end(), text.begin(), std::uint8_t{0}, std::uint8_t{' '});
}

bool DetectHeader::HasAt(std::size_t offset, std::string_view bytes) const
{
    return offset + bytes.size() <= raw.size() && SameBytes(std::span(raw).subspan(offset), bytes);
}

bool DetectHeader::StartsWith(std::string_view prefix) const
{
    return HasAt(0, prefix);
}

bool DetectHeader::TextStartsWith(std::string_view prefix) const
{
    return prefix.size() <= text.size() && SameBytes(text, prefix);
}

bool DetectHeader::TextContains(std::string_view word) const
{
    const auto match = std::search(text.begin(), text.end(), word.begin(), word.end(),
                                   [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
    return match != text.end();
}

std::span<const GraphicsFormat> GraphicsFormats()
{
    return kFormats;
}

const GraphicsFormat* FindGraphicsFormat(GraphicsFileType type)
{
    const auto row = std::find_if(std::begin(kFormats), std::end(kFormats),
                                  [type](const GraphicsFormat& format) { return format.type == type; });
    return row == std::end(kFormats) ? nullptr : row;
}
