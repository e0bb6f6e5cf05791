#pragma once
// What the JPEG reader and writer share: libjpeg's compressor and decompressor behind RAII owners,
// its error manager and the source and destination managers over CDataStream. libjpeg reports
// errors by calling error_exit, which must not return; ours keeps the message number and jumps back
// to the setjmp of the calling function, and the exception is thrown once control is back in our
// code. Nothing of C++ may unwind through libjpeg, and nothing with a destructor may live in a
// function that calls setjmp, so the state the library's callbacks see is plain data.

#include <cstddef>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared before it

#include <jpeglib.h>

#include <csetjmp>
#include <cstdint>
#include <memory>

class CDataStream;

// The error manager and what the callbacks found out. Trivially destructible.
struct JpegErrorState
{
    jpeg_error_mgr manager{};  // first: libjpeg's err pointer is a pointer to this state
    std::jmp_buf jump;
    int messageCode = 0;
    // The source ran out of bytes before the end-of-image marker.
    bool inputEnded = false;
    // More scans than any real progressive file carries; see JpegScanLimit.
    bool tooManyScans = false;
};

// A progressive file with more scans than this is refused: each scan runs over the whole picture,
// so thousands of tiny scans would keep the decoder busy for minutes. Real files have about ten.
inline constexpr int JpegScanLimit = 1000;

// Outcome of one libjpeg phase run under setjmp.
enum class JpegPhase
{
    Done,
    Failed,   // libjpeg error; the message number is in the error state
    Stopped,  // the progress callback asked to stop
};

inline constexpr std::size_t JpegBufferSize = 65536;

struct JpegSource
{
    jpeg_source_mgr manager{};  // first: libjpeg's src pointer is a pointer to this
    CDataStream* stream = nullptr;
    JOCTET buffer[JpegBufferSize];
};

struct JpegDestination
{
    jpeg_destination_mgr manager{};  // first: libjpeg's dest pointer is a pointer to this
    CDataStream* stream = nullptr;
    JOCTET buffer[JpegBufferSize];
};

// Owns a decompressor with its error manager, its stream source and its scan counter. The
// decompressor itself is created by StartJpegDecompressor, under the caller's setjmp.
class CJpegDecompressor
{
public:
    explicit CJpegDecompressor(CDataStream& stream);
    ~CJpegDecompressor();
    CJpegDecompressor(const CJpegDecompressor&) = delete;
    CJpegDecompressor& operator=(const CJpegDecompressor&) = delete;

    jpeg_decompress_struct& cinfo() { return m_parts->cinfo; }
    JpegErrorState& errors() { return m_parts->errors; }

private:
    struct Parts
    {
        jpeg_decompress_struct cinfo{};
        JpegErrorState errors;
        JpegSource source;
        jpeg_progress_mgr progress{};
    };
    // On the heap: the parts hold the I/O buffer and must not move while libjpeg points into them.
    std::unique_ptr<Parts> m_parts;

    friend void StartJpegDecompressor(CJpegDecompressor& jpeg);
};

// Creates the decompressor and attaches the source, the error manager and the scan counter. Call
// under setjmp of the error state: creating can fail.
void StartJpegDecompressor(CJpegDecompressor& jpeg);

class CJpegCompressor
{
public:
    explicit CJpegCompressor(CDataStream& stream);
    ~CJpegCompressor();
    CJpegCompressor(const CJpegCompressor&) = delete;
    CJpegCompressor& operator=(const CJpegCompressor&) = delete;

    jpeg_compress_struct& cinfo() { return m_parts->cinfo; }
    JpegErrorState& errors() { return m_parts->errors; }

private:
    struct Parts
    {
        jpeg_compress_struct cinfo{};
        JpegErrorState errors;
        JpegDestination destination;
    };
    std::unique_ptr<Parts> m_parts;

    friend void StartJpegCompressor(CJpegCompressor& jpeg);
};

// Creates the compressor and attaches the destination and the error manager. Call under setjmp.
void StartJpegCompressor(CJpegCompressor& jpeg);

// The exception for a failed phase: EJpegAbort or EGraphicsAbort for a stop (by the caller's
// choice), EJpegBadData for a file with too many scans, else EJpegError with the message number.
// Returns for JpegPhase::Done.
void ThrowForJpegPhase(JpegPhase phase, const JpegErrorState& errors, bool readingStop);
