#include "imaging/GraphicsCodec.h"

#include "imaging/GraphicsException.h"
#include "support/DataStream.h"

void CGraphicsCodecInfo::ReportProgress(int percent) const
{
    if (ProgressAsksToStop(percent))
        throw EGraphicsAbort();
}

bool CGraphicsCodecInfo::ProgressAsksToStop(int percent) const
{
    if (m_progress == nullptr)
        return false;
    bool stop = false;
    m_progress(*this, m_progressUserData, 1, 1, percent, stop);
    return stop;
}

bool StreamHolds(CDataStream& stream, std::uint64_t bytes)
{
    const std::int64_t size = stream.Size();
    const std::int64_t position = stream.Tell();
    if (size < 0 || position < 0)
        return true;
    return size >= position && std::uint64_t(size - position) >= bytes;
}

bool ReadFully(CDataStream& stream, void* buffer, std::uint32_t size)
{
    return size <= std::uint32_t(INT32_MAX) && stream.Read(buffer, std::int32_t(size)) == std::int32_t(size);
}

void CGraphicsReader::ThrowOpenError() const
{
    throw EGraphicsException(GraphicsText::OpenFileFailed);
}

void CGraphicsReader::ReadOpened(CDataStream& stream, CGraphicsImage& image)
{
    try {
        Read(stream, image);
    } catch (...) {
        stream.Close();
        throw;
    }
    stream.Close();
}

void CGraphicsReader::Read(std::string_view fileName, CGraphicsImage& image)
{
    CDataStream stream(FileBufferSize);
    if (!stream.Open(fileName, 0))
        ThrowOpenError();
    ReadOpened(stream, image);
}

void CGraphicsReader::Read(std::wstring_view fileName, CGraphicsImage& image)
{
    CDataStream stream(FileBufferSize);
    if (!stream.Open(fileName, 0))
        ThrowOpenError();
    ReadOpened(stream, image);
}

void CGraphicsWriter::ThrowCreateError() const
{
    throw EGraphicsException(GraphicsText::CreateFileFailed);
}

void CGraphicsWriter::ThrowWriteError() const
{
    throw EGraphicsException(GraphicsText::WriteFailed);
}

void CGraphicsWriter::WriteAll(CDataStream& stream, const void* bytes, std::uint32_t size) const
{
    if (stream.Write(bytes, std::int32_t(size)) != std::int32_t(size))
        ThrowWriteError();
}

// The last buffered bytes reach the file only at the close, so a failing close is a failed write.
void CGraphicsWriter::WriteOpened(CDataStream& stream, const CGraphicsImage& image)
{
    try {
        Write(stream, image);
    } catch (...) {
        stream.Close();
        throw;
    }
    if (!stream.Close())
        ThrowWriteError();
}

void CGraphicsWriter::Write(std::string_view fileName, const CGraphicsImage& image)
{
    CDataStream stream(FileBufferSize);
    if (!stream.Open(fileName, 2))
        ThrowCreateError();
    WriteOpened(stream, image);
}

void CGraphicsWriter::Write(std::wstring_view fileName, const CGraphicsImage& image)
{
    CDataStream stream(FileBufferSize);
    if (!stream.Open(fileName, 2))
        ThrowCreateError();
    WriteOpened(stream, image);
}
