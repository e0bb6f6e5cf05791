#pragma once
// The strip decompressors of the TIFF reader. Each one decodes one strip's bytes into `out` and
// returns how many bytes it produced: fewer than out.size() when the data ends early or turns out
// damaged, never more. None of them reads outside `in` or writes outside `out`.

#include <cstddef>
#include <cstdint>
#include <span>

// Compression 5. Both the TIFF 6.0 code stream (most significant bit first, widths growing one
// code early) and the older one (least significant bit first) are read; the first bytes tell them
// apart.
std::size_t DecodeTiffLzw(std::span<const std::uint8_t> in, std::span<std::uint8_t> out);

// Compression 32773.
std::size_t DecodePackBits(std::span<const std::uint8_t> in, std::span<std::uint8_t> out);

// Compression 8 and 32946 (zlib streams).
std::size_t DecodeTiffDeflate(std::span<const std::uint8_t> in, std::span<std::uint8_t> out);

// Compression 2: CCITT modified Huffman runs, every row starting on a byte boundary. White runs
// become 0 bits, black runs 1 bits; `out` holds whole rows of (width + 7) / 8 bytes.
std::size_t DecodeModifiedHuffman(std::span<const std::uint8_t> in, std::span<std::uint8_t> out,
                                  std::uint32_t width);

// How many bytes of pixels one byte of compressed data can at most turn into: what a strip's size
// can justify.
std::uint64_t TiffMaxExpansion(std::uint32_t compression);

// How many bytes of compressed data a strip that decodes into `outBytes` bytes can at most need,
// with room for the least efficient writers: a bound on the work a strip's byte count can demand.
std::uint64_t TiffMaxInput(std::uint32_t compression, std::uint64_t outBytes);
