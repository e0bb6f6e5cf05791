#include "imaging/formats/jpeg/JpegIo.h"

#include "imaging/GraphicsException.h"
#include "support/DataStream.h"

#include <jerror.h>

namespace {

JpegErrorState& ErrorsOf(j_common_ptr cinfo)
{
    return *reinterpret_cast<JpegErrorState*>(cinfo->err);
}

[[noreturn]] void JpegOnError(j_common_ptr cinfo)
{
    JpegErrorState& errors = ErrorsOf(cinfo);
    errors.messageCode = cinfo->err->msg_code;
    std::longjmp(errors.jump, 1);
}

// Warnings are counted, not printed. Corrupt data that libjpeg can step over is read the way every
// other program reads it, but a picture whose data stops early is an error: filling the rest with
// grey would pass a damaged file off as a good one.
void JpegOnMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return;
    ++cinfo->err->num_warnings;
    if (cinfo->err->msg_code == JWRN_HIT_MARKER && ErrorsOf(cinfo).inputEnded) {
        cinfo->err->msg_code = JWRN_JPEG_EOF;
        JpegOnError(cinfo);
    }
}

void JpegOutputNothing(j_common_ptr) {}

void UseOurErrors(JpegErrorState& errors)
{
    jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JpegOnError;
    errors.manager.emit_message = JpegOnMessage;
    errors.manager.output_message = JpegOutputNothing;
}

// The progress monitor is called at every scan start and every row of the input, which makes it
// the place where the number of scans can be watched.
void JpegCountScans(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > JpegScanLimit) {
        ErrorsOf(cinfo).tooManyScans = true;
        ERREXIT(cinfo, JERR_NOTIMPL);
    }
}

JpegSource& SourceOf(j_decompress_ptr cinfo)
{
    return *reinterpret_cast<JpegSource*>(cinfo->src);
}

void JpegInitSource(j_decompress_ptr) {}

// At the end of the stream the decoder gets an end-of-image marker, as from libjpeg's own file
// source, so that a file without its last marker still reads; whether data was missing is decided
// by the warning that follows (see JpegOnMessage).
boolean JpegFillInput(j_decompress_ptr cinfo)
{
    static const JOCTET kEndOfImage[] = {0xFF, JPEG_EOI};
    JpegSource& source = SourceOf(cinfo);
    const std::int32_t count = source.stream->Read(source.buffer, static_cast<std::int32_t>(JpegBufferSize));
    if (count <= 0) {
        ErrorsOf(reinterpret_cast<j_common_ptr>(cinfo)).inputEnded = true;
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source.manager.next_input_byte = kEndOfImage;
        source.manager.bytes_in_buffer = sizeof(kEndOfImage);
        return TRUE;
    }
    source.manager.next_input_byte = source.buffer;
    source.manager.bytes_in_buffer = static_cast<std::size_t>(count);
    return TRUE;
}

void JpegSkipInput(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr& source = *cinfo->src;
    auto remaining = static_cast<std::size_t>(count);
    while (remaining > source.bytes_in_buffer) {
        remaining -= source.bytes_in_buffer;
        JpegFillInput(cinfo);
        // The end-of-image stand-in is not skipped: the decoder must see it.
        if (ErrorsOf(reinterpret_cast<j_common_ptr>(cinfo)).inputEnded)
            return;
    }
    source.next_input_byte += remaining;
    source.bytes_in_buffer -= remaining;
}

void JpegTermSource(j_decompress_ptr) {}

JpegDestination& DestinationOf(j_compress_ptr cinfo)
{
    return *reinterpret_cast<JpegDestination*>(cinfo->dest);
}

void WriteOrFail(j_compress_ptr cinfo, std::size_t count)
{
    JpegDestination& destination = DestinationOf(cinfo);
    const auto length = static_cast<std::int32_t>(count);
    if (count > 0 && destination.stream->Write(destination.buffer, length) != length)
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

void JpegInitDestination(j_compress_ptr cinfo)
{
    JpegDestination& destination = DestinationOf(cinfo);
    destination.manager.next_output_byte = destination.buffer;
    destination.manager.free_in_buffer = JpegBufferSize;
}

// libjpeg calls this with a full buffer, whatever free_in_buffer says.
boolean JpegEmptyOutput(j_compress_ptr cinfo)
{
    WriteOrFail(cinfo, JpegBufferSize);
    JpegInitDestination(cinfo);
    return TRUE;
}

void JpegTermDestination(j_compress_ptr cinfo)
{
    WriteOrFail(cinfo, JpegBufferSize - DestinationOf(cinfo).manager.free_in_buffer);
}

}  // namespace

CJpegDecompressor::CJpegDecompressor(CDataStream& stream) : m_parts(std::make_unique<Parts>())
{
    m_parts->source.stream = &stream;
    UseOurErrors(m_parts->errors);
    m_parts->cinfo.err = &m_parts->errors.manager;
}

// A decompressor that was never created, or whose creation failed, has no memory manager, which
// libjpeg's destroy checks for.
CJpegDecompressor::~CJpegDecompressor()
{
    jpeg_destroy_decompress(&m_parts->cinfo);
}

void StartJpegDecompressor(CJpegDecompressor& jpeg)
{
    CJpegDecompressor::Parts& parts = *jpeg.m_parts;
    jpeg_create_decompress(&parts.cinfo);
    JpegSource& source = parts.source;
    source.manager.init_source = JpegInitSource;
    source.manager.fill_input_buffer = JpegFillInput;
    source.manager.skip_input_data = JpegSkipInput;
    source.manager.resync_to_restart = jpeg_resync_to_restart;
    source.manager.term_source = JpegTermSource;
    parts.cinfo.src = &source.manager;
    parts.progress.progress_monitor = JpegCountScans;
    parts.cinfo.progress = &parts.progress;
}

CJpegCompressor::CJpegCompressor(CDataStream& stream) : m_parts(std::make_unique<Parts>())
{
    m_parts->destination.stream = &stream;
    UseOurErrors(m_parts->errors);
    m_parts->cinfo.err = &m_parts->errors.manager;
}

CJpegCompressor::~CJpegCompressor()
{
    jpeg_destroy_compress(&m_parts->cinfo);
}

void StartJpegCompressor(CJpegCompressor& jpeg)
{
    CJpegCompressor::Parts& parts = *jpeg.m_parts;
    jpeg_create_compress(&parts.cinfo);
    JpegDestination& destination = parts.destination;
    destination.manager.init_destination = JpegInitDestination;
    destination.manager.empty_output_buffer = JpegEmptyOutput;
    destination.manager.term_destination = JpegTermDestination;
    parts.cinfo.dest = &destination.manager;
}

void ThrowForJpegPhase(JpegPhase phase, const JpegErrorState& errors, bool readingStop)
{
    switch (phase) {
    case JpegPhase::Done:
        return;
    case JpegPhase::Stopped:
        if (readingStop)
            throw EJpegAbort();
        throw EGraphicsAbort();
    case JpegPhase::Failed:
        if (errors.tooManyScans)
            throw EJpegBadData();
        throw EJpegError(errors.messageCode);
    }
}
