#pragma once
// The run-length codings of 4- and 8-bit bitmaps, decoded into a created image of that depth.

class CDataStream;
class CGraphicsCodecInfo;
class CGraphicsImage;

// Starts at the bottom row. Every run, literal and delta move must stay inside the picture; a
// stream that ends before the end-of-bitmap code fails. Failures throw EBmpFileReadError.
void DecodeBmpRle(CDataStream& stream, CGraphicsImage& image, const CGraphicsCodecInfo& info);
