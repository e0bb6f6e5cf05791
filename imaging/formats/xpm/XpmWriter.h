#pragma once
// Writes X PixMap files. Indexed images are written with their palette; true-colour images with
// their distinct colours, or, from 1024 distinct colours on, quantized to 256. Codes are base-64
// digits, least significant first, as many as the colour count needs. Colours of alpha 0 in a
// picture that is partly transparent are written as "None".

#include "imaging/GraphicsCodec.h"

#include <string>
#include <string_view>

class CXpmWriter : public CGraphicsWriter
{
public:
    using CGraphicsWriter::Write;
    void Write(CDataStream& stream, const CGraphicsImage& image) override;

    // The name of the array in the file; empty means the default name.
    void SetName(std::string_view name) { m_name.assign(name); }
    const std::string& Name() const { return m_name; }

protected:
    [[noreturn]] void ThrowCreateError() const override;
    [[noreturn]] void ThrowWriteError() const override;

private:
    std::string m_name;
};
