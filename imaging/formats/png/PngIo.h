#pragma once
// What the PNG reader and writer share: libpng's structures behind RAII owners, and the functions
// handed to libpng. libpng reports errors by a longjmp back to the setjmp of the calling function;
// the message is kept here and becomes an EGraphicsException once control is back in our code.
// Nothing of C++ may unwind through libpng, and nothing with a destructor may live in a function
// that calls setjmp, so these helpers are plain data and plain functions.

#include <png.h>

#include <cstddef>

class CDataStream;

// The state libpng's callbacks see (both its io and its error pointer). Trivially destructible.
struct PngIoState
{
    static constexpr std::size_t MaxMessageLength = 256;

    CDataStream* stream = nullptr;
    char message[MaxMessageLength + 1] = {};
};

// Error function: keeps libpng's text and jumps back to the setjmp of the caller.
[[noreturn]] void PngOnError(png_structp png, png_const_charp message);
// Warnings are dropped: a picture that libpng can still read is read without a word.
void PngOnWarning(png_structp png, png_const_charp message);
// Read and write functions over the CDataStream of the io state. A short transfer is a libpng error
// with the library's own text ("Fehler beim Lesen" / "Fehler beim Schreiben").
void PngReadBytes(png_structp png, png_bytep data, std::size_t length);
void PngWriteBytes(png_structp png, png_bytep data, std::size_t length);
// The stream is flushed when it is closed.
void PngFlushNothing(png_structp png);

// Outcome of one libpng phase run under setjmp.
enum class PngPhase
{
    Done,
    Failed,   // libpng error; the message is in the io state
    Stopped,  // the progress callback asked to stop
};

class CPngReadStructs
{
public:
    // Throws EGraphicsException "Interner Fehler" or "Zu wenig Speicher" when libpng cannot start.
    explicit CPngReadStructs(PngIoState& state);
    ~CPngReadStructs();
    CPngReadStructs(const CPngReadStructs&) = delete;
    CPngReadStructs& operator=(const CPngReadStructs&) = delete;

    png_structp png() const { return m_png; }
    png_infop info() const { return m_info; }

private:
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

class CPngWriteStructs
{
public:
    // Throws EGraphicsException "Interner Fehler" when libpng cannot start.
    explicit CPngWriteStructs(PngIoState& state);
    ~CPngWriteStructs();
    CPngWriteStructs(const CPngWriteStructs&) = delete;
    CPngWriteStructs& operator=(const CPngWriteStructs&) = delete;

    png_structp png() const { return m_png; }
    png_infop info() const { return m_info; }

private:
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};
