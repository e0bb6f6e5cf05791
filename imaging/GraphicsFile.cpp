#include "imaging/GraphicsFile.h"

#include "imaging/DetectGraphicsType.h"
#include "imaging/GraphicsCodec.h"
#include "imaging/GraphicsException.h"
#include "imaging/GraphicsFormats.h"
#include "imaging/GraphicsImage.h"
#include "support/AtomicFile.h"
#include "support/DataStream.h"

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
    const GraphicsFormat* format = FindGraphicsFormat(type);
    if (format == nullptr)
        throw EGraphicsException(GraphicsText::FormatNotSupported);
    return format->createReader();
}

std::unique_ptr<CGraphicsWriter> CreateWriter(GraphicsFileType type, const CGraphicsImage& image)
{
    const GraphicsFormat* format = FindGraphicsFormat(type);
    if (format == nullptr || format->createWriter == nullptr)
        throw EGraphicsException(GraphicsText::FormatNotSupported);
    return format->createWriter(image);
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
