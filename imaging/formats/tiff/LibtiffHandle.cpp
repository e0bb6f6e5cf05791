#include "imaging/formats/tiff/LibtiffHandle.h"

#include "support/DataStream.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <limits>

namespace {

using Source = CLibtiffHandle::Source;

Source& SourceOf(thandle_t handle)
{
    return *static_cast<Source*>(handle);
}

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size)
{
    Source& source = SourceOf(handle);
    tmsize_t done = 0;
    while (done < size) {
        const auto chunk = static_cast<std::int32_t>(std::min<tmsize_t>(size - done, 1 << 30));
        const std::int32_t got = source.stream->Read(static_cast<std::uint8_t*>(buffer) + done, chunk);
        if (got <= 0)
            break;
        done += got;
        if (got < chunk)
            break;
    }
    return done;
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t)
{
    return 0;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence)
{
    Source& source = SourceOf(handle);
    std::int64_t base = 0;
    if (whence == SEEK_CUR)
        base = std::int64_t{source.stream->Tell()} - source.start;
    else if (whence == SEEK_END)
        base = source.size;
    // A backward move arrives as the two's complement of its distance.
    const std::int64_t target = base + static_cast<std::int64_t>(offset);
    if (target < 0 || target > std::numeric_limits<std::int32_t>::max() - source.start)
        return static_cast<toff_t>(-1);
    if (source.stream->Seek(static_cast<std::int32_t>(source.start + target), 0) < 0)
        return static_cast<toff_t>(-1);
    return static_cast<toff_t>(target);
}

int CloseProc(thandle_t)
{
    return 0;
}

toff_t SizeProc(thandle_t handle)
{
    return static_cast<toff_t>(SourceOf(handle).size);
}

int MapProc(thandle_t, void**, toff_t*)
{
    return 0;
}

void UnmapProc(thandle_t, void*, toff_t) {}

// Returning 1 tells libtiff the message is handled: it goes to no other handler.
int NoteError(TIFF*, void* userData, const char* module, const char* format, va_list arguments)
{
    Source& source = *static_cast<Source*>(userData);
    if (source.error[0] == 0) {
        const int used = std::snprintf(source.error, sizeof source.error, "%s: ", module != nullptr ? module : "");
        if (used >= 0 && std::size_t(used) < sizeof source.error)
            std::vsnprintf(source.error + used, sizeof source.error - std::size_t(used), format, arguments);
        if (source.error[0] == 0)
            source.error[0] = '?';
    }
    return 1;
}

int IgnoreWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

// Messages that libtiff reports without a handle (a few codecs still do) would go to its global
// handlers, which print on stderr; this program never wants them.
void SilenceGlobalHandlers()
{
    static const bool silenced = [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
        return true;
    }();
    (void)silenced;
}

struct OptionsDeleter
{
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

}  // namespace

CLibtiffHandle::CLibtiffHandle(CDataStream& stream) : m_source(std::make_unique<Source>())
{
    SilenceGlobalHandlers();
    m_source->stream = &stream;
    m_source->start = stream.Tell();
    const std::int32_t end = stream.Size();
    if (m_source->start < 0 || end < m_source->start)
        return;
    m_source->size = end - m_source->start;
    const std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
    if (!options)
        return;
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), MaxSingleAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), NoteError, m_source.get());
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), IgnoreWarning, m_source.get());
    m_tiff = TIFFClientOpenExt("stream", "rm", m_source.get(), ReadProc, WriteProc, SeekProc, CloseProc, SizeProc,
                               MapProc, UnmapProc, options.get());
}

CLibtiffHandle::~CLibtiffHandle()
{
    if (m_tiff != nullptr)
        TIFFClose(m_tiff);
}
