#pragma once
// libtiff over our data stream: a TIFF handle whose reads, seeks and size go through a CDataStream
// (counted from the stream's position when it was opened), whose errors and warnings are noted
// instead of printed, and whose single allocations are capped. libtiff is C code that C++
// exceptions must never unwind through: its handlers only note the first error, and the caller
// throws once libtiff has returned.

#include <tiffio.h>

#include <cstdint>
#include <memory>

class CDataStream;

class CLibtiffHandle
{
public:
    // The largest block libtiff may allocate at once for one file (a strip or tile buffer, the
    // strip arrays): a picture at the size cap in 8-bit RGB strips of 64 rows stays well below.
    static constexpr tmsize_t MaxSingleAllocation = tmsize_t{512} << 20;

    // Opens the TIFF at the stream's position and reads its first directory; IsOpen tells whether
    // that worked.
    explicit CLibtiffHandle(CDataStream& stream);
    ~CLibtiffHandle();
    CLibtiffHandle(const CLibtiffHandle&) = delete;
    CLibtiffHandle& operator=(const CLibtiffHandle&) = delete;

    bool IsOpen() const { return m_tiff != nullptr; }
    TIFF* Get() const { return m_tiff; }

    // Whether libtiff reported an error since opening or since ForgetError.
    bool HadError() const { return m_source->error[0] != 0; }
    // libtiff's own (English) text of the first error, for diagnostics.
    const char* ErrorText() const { return m_source->error; }
    void ForgetError() { m_source->error[0] = 0; }

    // What libtiff's callbacks work on; its address stays put while the handle lives.
    struct Source
    {
        CDataStream* stream = nullptr;
        std::int64_t start = 0;
        std::int64_t size = 0;
        char error[256] = {};
    };

private:
    std::unique_ptr<Source> m_source;
    TIFF* m_tiff = nullptr;
};
