#pragma once
// The AVIF reader's exceptions, in the manner of the library's other formats: one class per kind of
// failure, each with its fixed message. A picture too big, memory running out and a stop are the
// library's own EGraphicsPicSize, EGraphicsMemory and EGraphicsAbort.

#include "imaging/GraphicsException.h"

class EAvifFileOpenError : public EGraphicsException
{
public:
    EAvifFileOpenError() : EGraphicsException("Fehler beim \xD6" "ffnen der AVIF-Datei !") {}
};

class EAvifNotAAvifFile : public EGraphicsException
{
public:
    EAvifNotAAvifFile() : EGraphicsException("Die Datei ist keine AVIF-Datei !") {}
};

class EAvifNotSupported : public EGraphicsException
{
public:
    EAvifNotSupported() : EGraphicsException("Das Format der AVIF-Datei wird nicht unterst\xFCtzt !") {}
};

class EAvifCorruptFile : public EGraphicsException
{
public:
    EAvifCorruptFile() : EGraphicsException("Besch\xE4" "digte AVIF-Datei !") {}
};

// The file ends before its picture does.
class EAvifFileReadError : public EGraphicsException
{
public:
    EAvifFileReadError() : EGraphicsException("Fehler beim Lesen der AVIF-Datei !") {}
};

class EAvifUnknownError : public EGraphicsException
{
public:
    EAvifUnknownError() : EGraphicsException(GraphicsText::UnknownErrorOfFormat) {}
};
