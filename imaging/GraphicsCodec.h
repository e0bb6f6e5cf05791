#pragma once
// The bases of every format's reader and writer. A reader fills a CGraphicsImage from a stream, a
// writer stores one; the file-name variants open the file with the library's usual buffer, run the
// stream variant and close the file again, also when the stream variant throws. Every failure is an
// EGraphicsException of the format.

#include <cstdint>
#include <string>
#include <string_view>

class CDataStream;
class CGraphicsImage;

// What a reader or writer carries besides the picture: the progress callback and the comment text.
class CGraphicsCodecInfo
{
public:
    // Called as callback(info, userData, 1, 1, percent, stop); setting stop ends the codec's work
    // with EGraphicsAbort.
    using ProgressCallback = void (*)(const CGraphicsCodecInfo& info, void* userData, int step,
                                      int stepCount, int percent, bool& stop);

    void SetProgressCallback(ProgressCallback callback, void* userData)
    {
        m_progress = callback;
        m_progressUserData = userData;
    }
    ProgressCallback GetProgressCallback() const { return m_progress; }
    void* GetProgressUserData() const { return m_progressUserData; }

    // Calls the callback; throws EGraphicsAbort when it asks to stop.
    void ReportProgress(int percent) const;
    // Calls the callback and tells whether it asks to stop; for code that must not throw yet.
    bool ProgressAsksToStop(int percent) const;

    // The comment replaces the old one; an empty text means none.
    void SetComment(std::string_view text) { m_comment.assign(text); }
    void ClearComment() { m_comment.clear(); }
    bool HasComment() const { return !m_comment.empty(); }
    const std::string& Comment() const { return m_comment; }
    // The length the text has with its terminator, 0 without a text.
    std::size_t CommentLength() const { return m_comment.empty() ? 0 : m_comment.size() + 1; }

private:
    ProgressCallback m_progress = nullptr;
    void* m_progressUserData = nullptr;
    std::string m_comment;
};

// Whether the stream still holds `bytes` between its position and its end. Readers ask it before
// they create an image for uncompressed pixel data, so a header cannot make them allocate more than
// the file could fill. A stream that cannot tell its size holds anything.
bool StreamHolds(CDataStream& stream, std::uint64_t bytes);

// Whether the stream delivered all `size` bytes into the buffer.
bool ReadFully(CDataStream& stream, void* buffer, std::uint32_t size);

// The fixed-size reads of the readers: a short read is the format's error `Error`.
template <class Error>
void ReadExactly(CDataStream& stream, void* buffer, std::uint32_t size)
{
    if (!ReadFully(stream, buffer, size))
        throw Error();
}

class CGraphicsReader
{
public:
    // Buffer size of the streams the file-name variants open.
    static constexpr int FileBufferSize = 32768;

    CGraphicsReader() = default;
    virtual ~CGraphicsReader() = default;
    CGraphicsReader(const CGraphicsReader&) = delete;
    CGraphicsReader& operator=(const CGraphicsReader&) = delete;

    // Reads one picture from the stream's current position.
    virtual void Read(CDataStream& stream, CGraphicsImage& image) = 0;
    // UTF-8 path or "RES://TYPE/NAME".
    void Read(std::string_view fileName, CGraphicsImage& image);
    void Read(std::wstring_view fileName, CGraphicsImage& image);

    CGraphicsCodecInfo& Info() { return m_info; }
    const CGraphicsCodecInfo& Info() const { return m_info; }

protected:
    // The format's error for a file that cannot be opened.
    [[noreturn]] virtual void ThrowOpenError() const;

private:
    void ReadOpened(CDataStream& stream, CGraphicsImage& image);

    CGraphicsCodecInfo m_info;
};

class CGraphicsWriter
{
public:
    static constexpr int FileBufferSize = 32768;

    CGraphicsWriter() = default;
    virtual ~CGraphicsWriter() = default;
    CGraphicsWriter(const CGraphicsWriter&) = delete;
    CGraphicsWriter& operator=(const CGraphicsWriter&) = delete;

    // Writes the picture at the stream's current position.
    virtual void Write(CDataStream& stream, const CGraphicsImage& image) = 0;
    // Creates (or truncates) the file.
    void Write(std::string_view fileName, const CGraphicsImage& image);
    void Write(std::wstring_view fileName, const CGraphicsImage& image);

    CGraphicsCodecInfo& Info() { return m_info; }
    const CGraphicsCodecInfo& Info() const { return m_info; }

protected:
    // The format's error for a file that cannot be created.
    [[noreturn]] virtual void ThrowCreateError() const;
    // The format's error for bytes that did not reach the file.
    [[noreturn]] virtual void ThrowWriteError() const;
    // Writes all the bytes, or throws the format's write error.
    void WriteAll(CDataStream& stream, const void* bytes, std::uint32_t size) const;

private:
    void WriteOpened(CDataStream& stream, const CGraphicsImage& image);

    CGraphicsCodecInfo m_info;
};
