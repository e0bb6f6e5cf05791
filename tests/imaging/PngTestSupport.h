#pragma once
// Helpers of the PNG tests: hand-made PNG files (any chunk order, any palette or transparency
// table, also broken ones), reading fixture files, and a temporary folder.

#include <zlib.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pngtest {

using Bytes = std::vector<std::uint8_t>;

inline void PutBigEndian32(Bytes& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

inline void PutChunk(Bytes& out, std::string_view type, const Bytes& data)
{
    PutBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeStart = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    const auto crc = crc32(0, out.data() + typeStart, static_cast<uInt>(out.size() - typeStart));
    PutBigEndian32(out, static_cast<std::uint32_t>(crc));
}

// One PNG as its parts. rows holds the packed pixel rows without filter bytes.
struct CraftedPng
{
    std::uint32_t width = 1;
    std::uint32_t height = 1;
    std::uint8_t bitDepth = 8;
    std::uint8_t colorType = 3;
    std::vector<std::uint32_t> palette;  // 0xRRGGBB
    Bytes trans;
    std::vector<std::pair<std::string, std::string>> texts;  // tEXt chunks before the pixels
    std::vector<Bytes> rows;

    Bytes Encode() const
    {
        Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        Bytes header;
        PutBigEndian32(header, width);
        PutBigEndian32(header, height);
        header.insert(header.end(), {bitDepth, colorType, 0, 0, 0});
        PutChunk(out, "IHDR", header);
        for (const auto& [key, text] : texts) {
            Bytes data(key.begin(), key.end());
            data.push_back(0);
            data.insert(data.end(), text.begin(), text.end());
            PutChunk(out, "tEXt", data);
        }
        if (!palette.empty()) {
            Bytes data;
            for (const std::uint32_t colour : palette)
                data.insert(data.end(), {static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
                                         static_cast<std::uint8_t>(colour)});
            PutChunk(out, "PLTE", data);
        }
        if (!trans.empty())
            PutChunk(out, "tRNS", trans);
        Bytes raw;
        for (const Bytes& row : rows) {
            raw.push_back(0);  // filter type none
            raw.insert(raw.end(), row.begin(), row.end());
        }
        uLongf size = compressBound(static_cast<uLong>(raw.size()));
        Bytes packed(size);
        compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9);
        packed.resize(size);
        PutChunk(out, "IDAT", packed);
        PutChunk(out, "IEND", {});
        return out;
    }
};

inline Bytes ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::filesystem::path TestData(std::string_view relative)
{
    return std::filesystem::path(QUIZMORA_TEST_DATA) / relative;
}

// A fresh folder per test, removed afterwards.
class TempFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::random_device seed;
        folder_ = std::filesystem::temp_directory_path() /
                  ("quizmora-png-" + std::to_string(seed()) + "-" + std::to_string(seed()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::string PathOf(std::string_view name) const { return (folder_ / name).string(); }

    std::filesystem::path folder_;
};

}  // namespace pngtest
