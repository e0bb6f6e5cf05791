// Content detection. A file that starts with a format's signature is that format. Only without one
// do the weaker tests count, and the strongest of them wins: so a text file that mentions "char" is
// XPM, while a PNG whose text chunk says "charade" stays a PNG. The tests are the format table's.

#include "imaging/DetectGraphicsType.h"

#include "imaging/GraphicsFormats.h"

#include <algorithm>
#include <cctype>

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

}  // namespace

GraphicsFileType DetectGraphicsType(std::span<const std::uint8_t> header)
{
    const DetectHeader h(header);
    auto type = GraphicsFileType::None;
    auto strongest = DetectMatch::None;
    for (const GraphicsFormat& format : GraphicsFormats()) {
        const DetectMatch match = format.detect(h);
        if (match > strongest) {
            strongest = match;
            type = format.type;
        }
    }
    return type;
}

std::string_view FileNameExtension(std::string_view fileName)
{
    for (std::size_t i = fileName.size(); i-- > 1;)
        if (fileName[i] == '.')
            return fileName.substr(i);
    return fileName;
}

// The writer of a file is chosen by its name alone.
GraphicsFileType WriterTypeForName(std::string_view fileName)
{
    const std::string_view extension = FileNameExtension(fileName);
    for (const GraphicsFormat& format : GraphicsFormats())
        for (const std::string_view saved : format.saveExtensions)
            if (EqualsIgnoringCase(extension, saved))
                return format.type;
    return GraphicsFileType::None;
}
