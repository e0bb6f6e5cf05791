#pragma once
// Builds fonts of the library's bitmap-font format for tests. Glyphs are drawn as text rows,
// top row first: '#' is ink, anything else background.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct TestGlyph
{
    std::vector<std::string> rows;  // top row first, all of the glyph's width
    int width = -1;                 // -1: the length of the first row
};

struct TestFontRecipe
{
    unsigned first = 0;
    unsigned last = 0;
    std::map<unsigned, TestGlyph> glyphs;  // codes without a glyph get an empty one
    bool longHeader = false;
    std::optional<std::vector<std::pair<unsigned, std::vector<std::uint8_t>>>> metrics;  // id, value
};

inline void PutLE32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = std::uint8_t(v >> (8 * i));
}

inline std::vector<std::uint8_t> BuildTestFont(const TestFontRecipe& recipe)
{
    std::vector<std::uint8_t> font;
    if (recipe.longHeader) {
        font = {0x00, 0x00, 0x46, 0x4E, 0x01, 0, 0, 0, std::uint8_t(recipe.first), std::uint8_t(recipe.first >> 8),
                std::uint8_t(recipe.last), std::uint8_t(recipe.last >> 8), 0, 0, 0, 0};
    } else {
        font = {std::uint8_t(recipe.first), std::uint8_t(recipe.last)};
    }
    const std::size_t table = font.size();
    const unsigned count = recipe.last >= recipe.first ? recipe.last - recipe.first + 1 : 0;
    font.resize(table + 4 * std::size_t(count));
    if (recipe.metrics) {
        std::vector<std::uint8_t> block = {0xFF, 0x00, 0xAA, 0x55, 0, 0, 0, 0};
        for (const auto& [id, value] : *recipe.metrics) {
            block.push_back(std::uint8_t(id >> 8));
            block.push_back(std::uint8_t(id));
            block.push_back(std::uint8_t(value.size() >> 8));
            block.push_back(std::uint8_t(value.size()));
            block.insert(block.end(), value.begin(), value.end());
        }
        PutLE32(block, 4, std::uint32_t(block.size()));
        font.insert(font.end(), block.begin(), block.end());
    }
    for (unsigned i = 0; i < count; ++i) {
        PutLE32(font, table + 4 * i, std::uint32_t(font.size()));
        const auto found = recipe.glyphs.find(recipe.first + i);
        const TestGlyph glyph = found != recipe.glyphs.end() ? found->second : TestGlyph{{}, 0};
        const int width = glyph.width >= 0 ? glyph.width : int(glyph.rows.empty() ? 0 : glyph.rows[0].size());
        font.push_back(std::uint8_t(width));
        font.push_back(std::uint8_t(glyph.rows.size()));
        const int rowBytes = (width + 7) / 8;
        // Stored bottom row first; a set bit is background.
        for (auto row = glyph.rows.rbegin(); row != glyph.rows.rend(); ++row) {
            std::vector<std::uint8_t> bytes(rowBytes, 0xFF);
            for (int x = 0; x < width && x < int(row->size()); ++x)
                if ((*row)[x] == '#')
                    bytes[x / 8] &= std::uint8_t(~(0x80 >> (x % 8)));
            font.insert(font.end(), bytes.begin(), bytes.end());
        }
    }
    return font;
}
