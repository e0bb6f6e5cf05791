#include "imaging/GraphicsFile.h"

#include "imaging/BmpReader.h"
#include "imaging/BmpWriter.h"
#include "imaging/DetectGraphicsType.h"
#include "imaging/EpsReader.h"
#include "imaging/EpsWriter.h"
#include "imaging/GifReader.h"
#include "imaging/GifWriter.h"
#include "imaging/GraphicsCodec.h"
#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/IconReader.h"
#include "imaging/JpegReader.h"
#include "imaging/JpegWriter.h"
#include "imaging/PngReader.h"
#include "imaging/PngWriter.h"
#include "imaging/PnmReader.h"
#include "imaging/PnmWriter.h"
#include "imaging/TiffReader.h"
#include "imaging/TiffWriter.h"
#include "imaging/TlsReader.h"
#include "imaging/TlsWriter.h"
#include "imaging/XpmReader.h"
#include "imaging/XpmWriter.h"
#include "imaging/XwdReader.h"
#include "imaging/XwdWriter.h"
#include "imaging/formats/avif/AvifReader.h"
#include "imaging/formats/heif/HeifReader.h"
#include "imaging/formats/webp/WebpReader.h"
#include "support/AtomicFile.h"
#include "support/DataStream.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>

namespace {

constexpr std::size_t kMaxErrorText = 511;
constexpr char kCannotOpen[] = "Kann Datei nicht \xF6" "ffnen.";
constexpr char kUnknownFormat[] = "Unbekanntes Datei Format.";
constexpr char kUnexpected[] = "Unbekannter Fehler";

// One per thread: the game's picture worker loads while the GUI thread loads or saves.
thread_local std::string g_loadError;
thread_local std::string g_saveError;

void SetText(std::string& target, std::string_view text)
{
    target.assign(text.substr(0, kMaxErrorText));
}

std::unique_ptr<CGraphicsReader> CreateReader(GraphicsFileType type)
{
    switch (type) {
    case GraphicsFileType::Png:
        return std::make_unique<CPngReader>();
    case GraphicsFileType::Bmp:
        return std::make_unique<CBmpReader>();
    case GraphicsFileType::Pnm:
        return std::make_unique<CPnmReader>();
    case GraphicsFileType::Xwd:
        return std::make_unique<CXwdReader>();
    case GraphicsFileType::Ico:
        return std::make_unique<CIcoReader>();
    case GraphicsFileType::Jpeg:
        return std::make_unique<CJpegReader>();
    case GraphicsFileType::Gif:
        return std::make_unique<CGifReader>();
    case GraphicsFileType::Xpm:
        return std::make_unique<CXpmReader>();
    case GraphicsFileType::Tls:
        return std::make_unique<CTlsReader>();
    case GraphicsFileType::Tiff:
        return std::make_unique<CTiffReader>();
    case GraphicsFileType::Eps:
        return std::make_unique<CEpsReader>();
    case GraphicsFileType::Webp:
        return std::make_unique<CWebpReader>();
    case GraphicsFileType::Avif:
        return std::make_unique<CAvifReader>();
    case GraphicsFileType::Heif:
        return std::make_unique<CHeifReader>();
    default:
        throw EGraphicsException(GraphicsText::FormatNotSupported);
    }
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
std::unique_ptr<CGraphicsWriter> CreateWriter(GraphicsFileType type, const CGraphicsImage& image)
{
    switch (type) {
    case GraphicsFileType::Png: {
        auto writer = std::make_unique<CPngWriter>();
        writer->SetWithAlpha(HasAlphaToKeep(image));
        return writer;
    }
    case GraphicsFileType::Jpeg:
        return std::make_unique<CJpegWriter>();
    case GraphicsFileType::Gif: {
        auto writer = std::make_unique<CGifWriter>();
        writer->SetTransparentIndex(TransparentIndexFor(image));
        return writer;
    }
    case GraphicsFileType::Bmp:
        return std::make_unique<CBmpWriter>();
    case GraphicsFileType::Pnm:
        return std::make_unique<CPnmWriter>();
    case GraphicsFileType::Xwd:
        return std::make_unique<CXwdWriter>();
    case GraphicsFileType::Xpm:
        return std::make_unique<CXpmWriter>();
    case GraphicsFileType::Tls:
        return std::make_unique<CTlsWriter>();
    case GraphicsFileType::Tiff:
        return std::make_unique<CTiffWriter>();
    case GraphicsFileType::Eps:
        return std::make_unique<CEpsWriter>();
    default:
        throw EGraphicsException(GraphicsText::FormatNotSupported);
    }
}

// The file the picture goes to: a link is followed, so that it keeps pointing at the new picture.
std::filesystem::path ReplacedFile(std::string_view fileName)
{
    std::filesystem::path target(fileName);
    std::error_code error;
    if (std::filesystem::is_symlink(target, error)) {
        const std::filesystem::path resolved = std::filesystem::weakly_canonical(target, error);
        if (!error)
            return resolved;
    }
    return target;
}

// The old file stays as it was until the whole picture is written: the writer fills a temporary
// file beside it, which then takes its place. Devices and pipes cannot be replaced and are
// written directly.
void WriteReplacing(CGraphicsWriter& writer, std::string_view fileName, const CGraphicsImage& image)
{
    const std::filesystem::path target = ReplacedFile(fileName);
    std::error_code error;
    const auto status = std::filesystem::status(target, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        writer.Write(fileName, image);
        return;
    }
    bool created = false;
    const bool replaced = ReplaceFileAtomically(target, target.extension().native(),
                                                [&](const std::filesystem::path& temporary) {
                                                    created = true;
                                                    writer.Write(std::string_view(temporary.native()), image);
                                                    return true;
                                                });
    if (!replaced)
        throw EGraphicsException(created ? GraphicsText::WriteFailed : GraphicsText::CreateFileFailed);
}

int LoadResultFor(const EGraphicsException& error)
{
    switch (error.Code()) {
    case EGraphicsException::CodePictureSize:
        return kLoadTooBig;
    case EGraphicsException::CodeWrongColor:
        return kLoadWrongColor;
    case EGraphicsException::CodeMemory:
        return kLoadNoMemory;
    default:
        return kLoadFailed;
    }
}

}  // namespace

int LoadGraphicsStream(CDataStream& stream, CGraphicsImage& image, std::string* commentOut)
{
    if (commentOut != nullptr)
        commentOut->clear();
    // Looking at the first bytes must not consume them: the reader starts at the same place.
    const GraphicsFileType type = DetectGraphicsType(stream.Peek(static_cast<std::int32_t>(kDetectHeaderSize)));
    g_loadError.clear();
    if (type == GraphicsFileType::None) {
        SetText(g_loadError, kUnknownFormat);
        return kLoadUnknownFormat;
    }
    try {
        const auto reader = CreateReader(type);
        reader->Read(stream, image);
        if (commentOut != nullptr)
            *commentOut = reader->Info().Comment();
        return kLoadOk;
    } catch (const EGraphicsException& error) {
        SetText(g_loadError, error.Message());
        return LoadResultFor(error);
    } catch (...) {
        SetText(g_loadError, kUnexpected);
        return kLoadUnexpected;
    }
}

int LoadGraphicsFile(std::string_view fileName, CGraphicsImage& image, std::string* commentOut)
{
    if (commentOut != nullptr)
        commentOut->clear();
    CDataStream stream(CGraphicsReader::FileBufferSize);
    if (!stream.Open(fileName, 0)) {
        SetText(g_loadError, kCannotOpen);
        return kLoadCannotOpen;
    }
    const int result = LoadGraphicsStream(stream, image, commentOut);
    stream.Close();
    return result;
}

int SaveGraphicsFile(std::string_view fileName, const CGraphicsImage& image, const char* comment)
{
    const GraphicsFileType type = WriterTypeForName(fileName);
    if (type == GraphicsFileType::None) {
        SetText(g_saveError, kUnknownFormat);
        return kSaveUnknownFormat;
    }
    try {
        const auto writer = CreateWriter(type, image);
        if (comment != nullptr)
            writer->Info().SetComment(comment);
        WriteReplacing(*writer, fileName, image);
        return kSaveOk;
    } catch (const EGraphicsException& error) {
        SetText(g_saveError, error.Message());
        return kSaveFailed;
    } catch (...) {
        SetText(g_saveError, kUnexpected);
        return kSaveUnexpected;
    }
}

std::string_view LoadErrorText()
{
    return g_loadError;
}

std::string_view SaveErrorText()
{
    return g_saveError;
}
