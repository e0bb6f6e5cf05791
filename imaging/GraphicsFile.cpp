#include "imaging/GraphicsFile.h"

#include "imaging/DetectGraphicsType.h"
#include "imaging/GraphicsCodec.h"
#include "imaging/GraphicsException.h"
#include "imaging/GraphicsImage.h"
#include "imaging/PngReader.h"
#include "imaging/PngWriter.h"
#include "imaging/TiffReader.h"
#include "imaging/TiffWriter.h"
#include "imaging/EpsReader.h"
#include "imaging/EpsWriter.h"
#include "support/DataStream.h"

#include <memory>

namespace {

constexpr std::size_t kMaxErrorText = 511;
constexpr char kCannotOpen[] = "Kann Datei nicht \xF6" "ffnen.";
constexpr char kUnknownFormat[] = "Unbekanntes Datei Format.";
constexpr char kUnexpected[] = "Unbekannter Fehler";

// Process-wide like the rest of the entry points' state: one caller at a time.
std::string g_loadError;
std::string g_saveError;

void SetText(std::string& target, std::string_view text)
{
    target.assign(text.substr(0, kMaxErrorText));
}

// Stands in for a format whose codec the library does not have.
class CUnsupportedReader final : public CGraphicsReader
{
public:
    using CGraphicsReader::Read;
    void Read(CDataStream&, CGraphicsImage&) override
    {
        throw EGraphicsException(GraphicsText::FormatNotSupported);
    }
};

class CUnsupportedWriter final : public CGraphicsWriter
{
public:
    using CGraphicsWriter::Write;
    void Write(CDataStream&, const CGraphicsImage&) override
    {
        throw EGraphicsException(GraphicsText::FormatNotSupported);
    }
};

std::unique_ptr<CGraphicsReader> CreateReader(GraphicsFileType type)
{
    switch (type) {
    case GraphicsFileType::Png:
        return std::make_unique<CPngReader>();
    case GraphicsFileType::Tiff:
        return std::make_unique<CTiffReader>();
    case GraphicsFileType::Eps:
        return std::make_unique<CEpsReader>();
    default:
        return std::make_unique<CUnsupportedReader>();
    }
}

std::unique_ptr<CGraphicsWriter> CreateWriter(GraphicsFileType type)
{
    switch (type) {
    case GraphicsFileType::Png:
        return std::make_unique<CPngWriter>();
    case GraphicsFileType::Tiff:
        return std::make_unique<CTiffWriter>();
    case GraphicsFileType::Eps:
        return std::make_unique<CEpsWriter>();
    default:
        return std::make_unique<CUnsupportedWriter>();
    }
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
        const auto writer = CreateWriter(type);
        if (comment != nullptr)
            writer->Info().SetComment(comment);
        writer->Write(fileName, image);
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
