#pragma once
// The WebP reader's exceptions, in the manner of the library's other formats: one class per kind of
// failure, each with its fixed message. A picture too big, memory running out and a stop are the
// library's own EGraphicsPicSize, EGraphicsMemory and EGraphicsAbort.

#include "imaging/GraphicsException.h"

class EWebpFileOpenError : public EGraphicsException
{
public:
    EWebpFileOpenError() : EGraphicsException("Fehler beim \xD6" "ffnen der WebP-Datei !") {}
};

class EWebpNotAWebpFile : public EGraphicsException
{
public:
    EWebpNotAWebpFile() : EGraphicsException("Die Datei ist keine WebP-Datei !") {}
};

class EWebpNotSupported : public EGraphicsException
{
public:
    EWebpNotSupported() : EGraphicsException("Das Format der WebP-Datei wird nicht unterst\xFCtzt !") {}
};

class EWebpCorruptFile : public EGraphicsException
{
public:
    EWebpCorruptFile() : EGraphicsException("Besch\xE4" "digte WebP-Datei !") {}
};

// The file ends before its picture does.
class EWebpFileReadError : public EGraphicsException
{
public:
    EWebpFileReadError() : EGraphicsException("Fehler beim Lesen der WebP-Datei !") {}
};

class EWebpUnknownError : public EGraphicsException
{
public:
    EWebpUnknownError() : EGraphicsException(GraphicsText::UnknownErrorOfFormat) {}
};
