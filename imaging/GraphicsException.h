#pragma once
// The imaging library's one error channel: plain exception objects, thrown by value and caught by
// reference. Every message is Windows-1252 text, copied into the object and cut at 256 characters;
// conversion to Unicode happens only where a message reaches the user interface.

#include <cstddef>
#include <cstdint>
#include <string_view>

// Message texts, Windows-1252. Adjacent literals keep a hex escape from swallowing the next letter.
namespace GraphicsText {
inline constexpr const char* UnknownError = "Unknown error";
inline constexpr const char* OutOfMemory = "Zu wenig Speicher";
inline constexpr const char* UserAbort = "Benutzer Abbruch";
inline constexpr const char* FormatNotSupported = "Das Format wird nicht unterst\xFCtzt";
inline constexpr const char* CreateFileFailed = "Fehler beim Erzeugen der Datei";
inline constexpr const char* ReadFailed = "Fehler beim Lesen";
inline constexpr const char* WriteFailed = "Fehler beim Schreiben";
inline constexpr const char* OpenFileFailed = "Fehler beim \xD6" "ffnen der Datei";
inline constexpr const char* InternalError = "Interner Fehler";
inline constexpr const char* InvalidImage = "Ung\xFCltiges Bild";
inline constexpr const char* PictureTooBig = "Das Bild ist zu gro\xDF";
inline constexpr const char* WrongColorFormat = "Falsches Farbformat";
inline constexpr const char* WrongImageData = "Falsche Bild-Daten !";
inline constexpr const char* UnknownErrorOfFormat = "Fehler beim Unknown Error";

namespace Icon {
inline constexpr const char* OpenFailed = "Datei konnte nicht ge\xF6" "ffnet werden !";
inline constexpr const char* IconNotFound = "Das Icon konnte in der Datei nicht gefunden werden !";
inline constexpr const char* ReadFromFileFailed = "Fehler beim lesen aus der Datei !";
inline constexpr const char* ReadFileFailed = "Fehler beim Lesen der Datei !";
inline constexpr const char* BadFileFormat = "Fehlerhaftes Dateiformat !";
inline constexpr const char* CompressedNotSupported = "Komprimierte Icons werden nicht unterst\xFCtzt !";
inline constexpr const char* ColorFormatNotSupported = "Das Farbformat wird nicht unterst\xFCtzt !";
inline constexpr const char* BlockTooLarge = "Zugro\xDF" "er Datenblock !";
inline constexpr const char* OutOfMemory = "Zu wenig Speicher";
}  // namespace Icon

namespace Xpm {
inline constexpr const char* OpenFailed = "Fehler beim \xD6" "ffnen der Datei";
inline constexpr const char* ReadFailed = "Fehler beim Lesen aus der Datei";
inline constexpr const char* FileError = "Fehler in der Datei";
inline constexpr const char* UnknownFormat = "Unbekantes Format";
inline constexpr const char* TooManyColors = "Zu viele Farben definiert";
inline constexpr const char* TooFewColors = "Zu wenige Farben definiert";
inline constexpr const char* ColorFormatNotSupported = "Nicht unterst\xFCtztes Farbformat";
inline constexpr const char* CannotHandleFormat = "Kann Format nicht verarbeiten";
inline constexpr const char* WriteFailed = "Fehler beim Schreiben in die Datei";
inline constexpr const char* CreateFailed = "Fehler beim Erzeugen der Dateio";
}  // namespace Xpm

namespace Tiff {
inline constexpr const char* BadHeader = "Falscher Header";
inline constexpr const char* BadEntry = "Falscher Eintrag";
inline constexpr const char* BadMode = "Falscher Modus";
inline constexpr const char* ModeNotSupported = "Modus ist nicht unterst\xFCtzt";
inline constexpr const char* ReadFailed = "Fehler beim Lesen";
inline constexpr const char* OpenFailed = "Fehler beim \xD6" "ffnen der Datei";
inline constexpr const char* CreateFailed = "Fehler beim Erzeugen der Datei";
inline constexpr const char* WriteFailed = "Fehler beim Schreiben";
inline constexpr const char* EmptyImage = "Leeres Bild \xFC" "bergeben";
}  // namespace Tiff

namespace Gif {
inline constexpr const char* OpenFailed = "Fehler beim \xD6" "ffnen der Datei";
inline constexpr const char* CreateFailed = "Fehler beim Erzeugen der Datei";
inline constexpr const char* CannotHandleFormat = "Kann Format nicht verarbeiten";
inline constexpr const char* ImageEmpty = "Das Bils ist leer";
inline constexpr const char* ImageMissing = "Ein Bild Fehlt in der Liste";
}  // namespace Gif
}  // namespace GraphicsText

class EGraphicsException
{
public:
    static constexpr std::uint32_t CodeGeneral = 0;
    static constexpr std::uint32_t CodeAbort = 1;
    static constexpr std::uint32_t CodePictureSize = 4;
    static constexpr std::uint32_t CodeWrongColor = 5;
    static constexpr std::uint32_t CodeMemory = 6;
    static constexpr std::size_t MaxMessageLength = 256;

    EGraphicsException() : EGraphicsException(GraphicsText::UnknownError) {}
    explicit EGraphicsException(std::string_view message, std::uint32_t code = CodeGeneral)
        : m_code(code)
    {
        const std::size_t length = message.size() < MaxMessageLength ? message.size() : MaxMessageLength;
        for (std::size_t i = 0; i < length; ++i)
            m_message[i] = message[i];
        m_message[length] = '\0';
    }

    // Windows-1252 text, always terminated.
    const char* Message() const { return m_message; }
    std::uint32_t Code() const { return m_code; }

private:
    char m_message[MaxMessageLength + 1] = {};
    std::uint32_t m_code = CodeGeneral;
};

class EGraphicsPicSize : public EGraphicsException
{
public:
    EGraphicsPicSize() : EGraphicsException(GraphicsText::PictureTooBig, CodePictureSize) {}
};

class EGraphicsWrongColor : public EGraphicsException
{
public:
    EGraphicsWrongColor() : EGraphicsException(GraphicsText::WrongColorFormat, CodeWrongColor) {}
};

class EGraphicsMemory : public EGraphicsException
{
public:
    EGraphicsMemory() : EGraphicsException(GraphicsText::OutOfMemory, CodeMemory) {}
};

class EGraphicsAbort : public EGraphicsException
{
public:
    EGraphicsAbort() : EGraphicsException(GraphicsText::UserAbort, CodeAbort) {}
};

// Throws the exception that belongs to the error code a failed CGraphicsImage::Create left:
// 1 picture too big, 2 wrong colour format, 3 out of memory, anything else unknown.
[[noreturn]] void ThrowCreateError(std::uint8_t errorCode);

// Formats whose failures carry one of several messages take the text (see GraphicsText).
class EIconError : public EGraphicsException
{
public:
    explicit EIconError(std::string_view message) : EGraphicsException(message) {}
};

class EXpmError : public EGraphicsException
{
public:
    explicit EXpmError(std::string_view message) : EGraphicsException(message) {}
};

class ETiffError : public EGraphicsException
{
public:
    explicit ETiffError(std::string_view message) : EGraphicsException(message) {}
};

class EGifError : public EGraphicsException
{
public:
    explicit EGifError(std::string_view message) : EGraphicsException(message) {}
};

class EGifCorruptFile : public EGifError
{
public:
    EGifCorruptFile() : EGifError("Gif stream is corrupt") {}
};

class EGifNotAGifFile : public EGifError
{
public:
    EGifNotAGifFile() : EGifError("Stream is not in GIF format") {}
};

class EGifFileReadError : public EGifError
{
public:
    EGifFileReadError() : EGifError("Error reading from GIF file") {}
};

class EGifNoMoreImages : public EGifError
{
public:
    EGifNoMoreImages() : EGifError("No more images in the GIF stream") {}
};

// Formats whose failures each have a class of their own with one fixed message.
class ETlsFileOpenError : public EGraphicsException
{
public:
    ETlsFileOpenError() : EGraphicsException("Fehler beim \xD6" "ffnen der TLS-Datei !") {}
};

class ETlsNotATlsFile : public EGraphicsException
{
public:
    ETlsNotATlsFile() : EGraphicsException("Die Datei ist keine TLS-Datei !") {}
};

class ETlsFileReadError : public EGraphicsException
{
public:
    ETlsFileReadError() : EGraphicsException("Fehler beim Lesen der TLS-Datei !") {}
};

class ETlsCorruptFile : public EGraphicsException
{
public:
    ETlsCorruptFile() : EGraphicsException("Besch\xE4" "digte TLS-Datei !") {}
};

class ETlsCrcError : public EGraphicsException
{
public:
    ETlsCrcError() : EGraphicsException("Falsche CRC-Summe !") {}
};

class ETlsNotFound : public EGraphicsException
{
public:
    ETlsNotFound() : EGraphicsException("Das Bild wurde in der Sequenz nicht gefunden !") {}
};

class ETlsUnknownError : public EGraphicsException
{
public:
    ETlsUnknownError() : EGraphicsException(GraphicsText::UnknownErrorOfFormat) {}
};

class ETlsDataError : public EGraphicsException
{
public:
    ETlsDataError() : EGraphicsException(GraphicsText::WrongImageData) {}
};

class ETlsFileWriteError : public EGraphicsException
{
public:
    ETlsFileWriteError() : EGraphicsException("Fehler beim Schreiben TLS-Datei !") {}
};

class EEpsFileOpenError : public EGraphicsException
{
public:
    EEpsFileOpenError() : EGraphicsException("Fehler beim \xD6" "ffnen der EPS-Datei !") {}
};

class EEpsNotAEpsFile : public EGraphicsException
{
public:
    EEpsNotAEpsFile() : EGraphicsException("Die Datei ist keine EPS-Datei !") {}
};

class EEpsNotSupported : public EGraphicsException
{
public:
    EEpsNotSupported() : EGraphicsException("Das Format der EPS-Datei wird nicht unterst\xFCtzt !") {}
};

class EEpsCorruptFile : public EGraphicsException
{
public:
    EEpsCorruptFile() : EGraphicsException("Besch\xE4" "digte EPS-Datei !") {}
};

class EEpsFileReadError : public EGraphicsException
{
public:
    EEpsFileReadError() : EGraphicsException("Fehler beim Lesen der EPS-Datei !") {}
};

class EEpsUnknownError : public EGraphicsException
{
public:
    EEpsUnknownError() : EGraphicsException(GraphicsText::UnknownErrorOfFormat) {}
};

class EEpsDataError : public EGraphicsException
{
public:
    EEpsDataError() : EGraphicsException(GraphicsText::WrongImageData) {}
};

class EEpsFileWriteError : public EGraphicsException
{
public:
    EEpsFileWriteError() : EGraphicsException("Fehler beim Schreiben EPS-Datei !") {}
};

class EPnmFileOpenError : public EGraphicsException
{
public:
    EPnmFileOpenError() : EGraphicsException("Fehler beim \xD6" "ffnen der PNM-Datei !") {}
};

class EPnmNotAPnmFile : public EGraphicsException
{
public:
    EPnmNotAPnmFile() : EGraphicsException("Die Datei ist keine PNM-Datei !") {}
};

class EPnmCorruptFile : public EGraphicsException
{
public:
    EPnmCorruptFile() : EGraphicsException("Besch\xE4" "digte PNM-Datei !") {}
};

class EPnmFileReadError : public EGraphicsException
{
public:
    EPnmFileReadError() : EGraphicsException("Fehler beim Lesen der PNM-Datei !") {}
};

class EPnmFileWriteError : public EGraphicsException
{
public:
    EPnmFileWriteError() : EGraphicsException("Fehler beim Schreiben PNM-Datei !") {}
};

class EPnmDataError : public EGraphicsException
{
public:
    EPnmDataError() : EGraphicsException(GraphicsText::WrongImageData) {}
};

class EXwdFileOpenError : public EGraphicsException
{
public:
    EXwdFileOpenError() : EGraphicsException("Fehler beim \xD6" "ffnen der XWD-Datei !") {}
};

class EXwdNotAXwdFile : public EGraphicsException
{
public:
    EXwdNotAXwdFile() : EGraphicsException("Die Datei ist keine XWD-Datei !") {}
};

class EXwdFileReadError : public EGraphicsException
{
public:
    EXwdFileReadError() : EGraphicsException("Fehler beim Lesen der XWD-Datei !") {}
};

class EXwdFileWriteError : public EGraphicsException
{
public:
    EXwdFileWriteError() : EGraphicsException("Fehler beim Schreiben XWD-Datei !") {}
};

class EXwdDataError : public EGraphicsException
{
public:
    EXwdDataError() : EGraphicsException(GraphicsText::WrongImageData) {}
};

class EBmpFileOpenError : public EGraphicsException
{
public:
    EBmpFileOpenError() : EGraphicsException("Fehler beim \xD6" "ffnen der BMP-Datei !") {}
};

class EBmpNotABmpFile : public EGraphicsException
{
public:
    EBmpNotABmpFile() : EGraphicsException("Die Datei ist keine BMP-Datei !") {}
};

class EBmpNotSupported : public EGraphicsException
{
public:
    EBmpNotSupported() : EGraphicsException("Das Format der BMP-Datei wird nicht unterst\xFCtzt !") {}
};

class EBmpCorruptFile : public EGraphicsException
{
public:
    EBmpCorruptFile() : EGraphicsException("Besch\xE4" "digte BMP-Datei !") {}
};

class EBmpFileReadError : public EGraphicsException
{
public:
    EBmpFileReadError() : EGraphicsException("Fehler beim Lesen der BMP-Datei !") {}
};

class EBmpFileWriteError : public EGraphicsException
{
public:
    EBmpFileWriteError() : EGraphicsException("Fehler beim Schreiben BMP-Datei !") {}
};

class EBmpDataError : public EGraphicsException
{
public:
    EBmpDataError() : EGraphicsException(GraphicsText::WrongImageData) {}
};

class EBmpUnknownError : public EGraphicsException
{
public:
    EBmpUnknownError() : EGraphicsException(GraphicsText::UnknownErrorOfFormat) {}
};

class EJpegOpenError : public EGraphicsException
{
public:
    EJpegOpenError() : EGraphicsException("Fehler beim \xD6" "ffnen der Datei !") {}
};

class EJpegAbort : public EGraphicsException
{
public:
    EJpegAbort() : EGraphicsException(GraphicsText::UserAbort) {}
};

// "Fehler %i beim Laden der Jpeg Datei" with the JPEG library's error number.
class EJpegError : public EGraphicsException
{
public:
    explicit EJpegError(int libraryError);

protected:
    struct WithMessage
    {
    };
    EJpegError(WithMessage, std::string_view message) : EGraphicsException(message) {}
};

class EJpegBadData : public EJpegError
{
public:
    EJpegBadData() : EJpegError(WithMessage{}, GraphicsText::WrongImageData) {}
};
