#pragma once
// What the readers of formats that a library decodes from memory share: the file in one block (the
// containers point back and forth into it), the size check before the library allocates, and rows
// that a library wrote top-down.

#include <cstdint>
#include <span>
#include <vector>

class CDataStream;
class CGraphicsImage;

// Everything from the stream's position to its end; the block is as large as the file, whose bytes
// justify it. False when the stream fails to deliver.
bool ReadStreamContents(CDataStream& stream, std::vector<std::uint8_t>& contents);

// Throws EGraphicsPicSize for a picture that no image can hold (a side above
// CGraphicsImage::MaxDimension, or more than CGraphicsImage::MaxPixels pixels).
void CheckPictureSize(std::uint64_t width, std::uint64_t height);

// Turns the rows upside down: a picture written top-down from Data() becomes the image's picture.
void FlipRows(CGraphicsImage& image);

// Whether the last box of an ISO base media file (AVIF, HEIF) reaches past the end of the bytes:
// the file was cut short. Boxes that make no sense are left to the library to report.
bool BoxesReachPastEnd(std::span<const std::uint8_t> file);
