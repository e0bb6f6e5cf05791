// The writer of a file is chosen by its name alone.

#include "imaging/DetectGraphicsType.h"

#include <algorithm>
#include <cctype>

namespace {

struct ExtensionEntry {
    std::string_view extension;
    GraphicsFileType type;
};

constexpr ExtensionEntry kWriterExtensions[] = {
    {".PNG", GraphicsFileType::Png},  {".GIF", GraphicsFileType::Gif},  {".BMP", GraphicsFileType::Bmp},
    {".JPG", GraphicsFileType::Jpeg}, {".JPEG", GraphicsFileType::Jpeg}, {".XWD", GraphicsFileType::Xwd},
    {".XPM", GraphicsFileType::Xpm},  {".PNM", GraphicsFileType::Pnm},  {".TIFF", GraphicsFileType::Tiff},
    {".TIF", GraphicsFileType::Tiff}, {".PS", GraphicsFileType::Eps},   {".EPS", GraphicsFileType::Eps},
    {".PRN", GraphicsFileType::Eps},  {".TLSP", GraphicsFileType::Tls},
    // The netpbm names: the PNM writer picks the kind of file that fits the picture, as for ".PNM".
    {".PPM", GraphicsFileType::Pnm},  {".PGM", GraphicsFileType::Pnm},  {".PBM", GraphicsFileType::Pnm},
};

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::string_view FileNameExtension(std::string_view fileName)
{
    for (std::size_t i = fileName.size(); i-- > 1;)
        if (fileName[i] == '.')
            return fileName.substr(i);
    return fileName;
}

GraphicsFileType WriterTypeForName(std::string_view fileName)
{
    const std::string_view extension = FileNameExtension(fileName);
    for (const auto& entry : kWriterExtensions)
        if (EqualsIgnoringCase(extension, entry.extension))
            return entry.type;
    return GraphicsFileType::None;
}
