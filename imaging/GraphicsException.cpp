#include "imaging/GraphicsException.h"

#include "imaging/GraphicsImage.h"

#include <array>
#include <cstdio>

namespace {
std::array<char, 64> JpegErrorText(int libraryError)
{
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "Fehler %i beim Laden der Jpeg Datei", libraryError);
    return text;
}
}  // namespace

// The formatted text lives until the base has copied it: the end of this initializer.
EJpegError::EJpegError(int libraryError) : EGraphicsException(JpegErrorText(libraryError).data()) {}

void ThrowCreateError(std::uint8_t errorCode)
{
    switch (errorCode) {
    case CGraphicsImage::CreateTooBig:
        throw EGraphicsPicSize();
    case CGraphicsImage::CreateWrongFormat:
        throw EGraphicsWrongColor();
    case CGraphicsImage::CreateNoMemory:
        throw EGraphicsMemory();
    default:
        throw EGraphicsException(GraphicsText::UnknownError);
    }
}
