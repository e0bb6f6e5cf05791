#pragma once
// A phone photo for the import tests: 4000 x 3000 as stored, with Exif orientation 6 (turned
// left), so that it stands 3000 x 4000 upright, red at the top and blue at the bottom. ImageMagick
// draws it; the Exif block is put in by hand, as ImageMagick writes none for a picture without one.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

inline bool MakeOrientedPhoto(const std::filesystem::path& jpeg)
{
    const std::filesystem::path plain = jpeg.string() + ".plain.jpg";
    const std::string command = "convert-im6.q16 -size 3000x4000 gradient:red-blue -rotate -90 '" +
                                plain.string() + "'";
    if (std::system(command.c_str()) != 0)
        return false;
    std::ifstream in(plain, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::filesystem::remove(plain);
    // APP1 right after the start of image: "Exif", a big-endian TIFF header, one directory entry
    // with the orientation tag (0x0112, SHORT, 1 value) = 6.
    static const std::string kExif("\xFF\xE1\x00\x22"
                                   "Exif\0\0"
                                   "MM\0\x2A\0\0\0\x08"
                                   "\0\x01"
                                   "\x01\x12\0\x03\0\0\0\x01\0\x06\0\0"
                                   "\0\0\0\0",
                                   36);
    if (bytes.size() < 2)
        return false;
    bytes.insert(2, kExif);
    std::ofstream out(jpeg, std::ios::binary);
    out << bytes;
    return out.good();
}
