#pragma once
// GIF's LZW decompression, one data sub-block at a time, into rows of pixel indices.
//
// The input is hostile: a code beyond the next free one, a first code that is no pixel, or a
// string longer than the table can hold is corrupt data. A full table (4096 entries) takes no
// more entries until the next clear code, as GIF89a allows.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

class CLzwRowSink
{
public:
    virtual ~CLzwRowSink() = default;
    // One complete row of indices; false when no further rows are wanted.
    virtual bool TakeRow(std::span<const std::uint8_t> row) = 0;
    // How many rows are still wanted.
    virtual std::uint32_t RowsLeft() const = 0;
};

class CLzwDecoder
{
public:
    // Throws EGifCorruptFile for a minimum code size outside 1 to 11 or a width of 0.
    CLzwDecoder(int minCodeSize, std::uint32_t width, CLzwRowSink& sink);

    // Decodes the codes of one sub-block. False once the data is complete: the end code came or
    // the sink wants no more rows. Throws EGifCorruptFile for corrupt codes.
    bool Decode(std::span<const std::uint8_t> bytes);

private:
    static constexpr int MaxBits = 12;
    static constexpr int TableSize = 1 << MaxBits;

    void Reset();
    // Adds the entry that the code implies and puts the code's string into the rows.
    bool Take(int code);
    bool Put(int code);
    bool PutAcrossRows(int code);

    int m_minCodeSize;
    int m_clearCode;
    int m_bits = 0;
    int m_freeCode = 0;
    int m_previous = -1;
    std::uint32_t m_accumulator = 0;
    int m_accumulatedBits = 0;
    bool m_done = false;
    // Per code: the code of its string without the last byte, that last byte, the string's
    // first byte and its length.
    std::array<std::uint16_t, TableSize> m_prefix{};
    std::array<std::uint8_t, TableSize> m_suffix{};
    std::array<std::uint8_t, TableSize> m_first{};
    std::array<std::uint16_t, TableSize> m_length{};
    std::array<std::uint8_t, TableSize> m_stack{};
    std::vector<std::uint8_t> m_row;
    std::size_t m_rowFill = 0;
    CLzwRowSink& m_sink;
};
