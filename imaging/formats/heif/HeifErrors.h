#pragma once
// The HEIF reader's exceptions, in the manner of the library's other formats: one class per kind of
// failure, each with its fixed message. A picture too big, memory running out and a stop are the
// library's own EGraphicsPicSize, EGraphicsMemory and EGraphicsAbort.

#include "imaging/GraphicsException.h"

class EHeifFileOpenError : public EGraphicsException
{
public:
    EHeifFileOpenError() : EGraphicsException("Fehler beim \xD6" "ffnen der HEIF-Datei !") {}
};

class EHeifNotAHeifFile : public EGraphicsException
{
public:
    EHeifNotAHeifFile() : EGraphicsException("Die Datei ist keine HEIF-Datei !") {}
};

class EHeifNotSupported : public EGraphicsException
{
public:
    EHeifNotSupported() : EGraphicsException("Das Format der HEIF-Datei wird nicht unterst\xFCtzt !") {}
};

class EHeifCorruptFile : public EGraphicsException
{
public:
    EHeifCorruptFile() : EGraphicsException("Besch\xE4" "digte HEIF-Datei !") {}
};

// The file ends before its picture does.
class EHeifFileReadError : public EGraphicsException
{
public:
    EHeifFileReadError() : EGraphicsException("Fehler beim Lesen der HEIF-Datei !") {}
};

class EHeifUnknownError : public EGraphicsException
{
public:
    EHeifUnknownError() : EGraphicsException(GraphicsText::UnknownErrorOfFormat) {}
};
