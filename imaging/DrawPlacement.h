#pragma once
// Where a source image lands on a target for Draw and DrawAlpha (internal to the imaging library).

#include "imaging/ClipRect.h"
#include "imaging/GraphicsImage.h"

struct DrawPlacement
{
    ClippedSpan columns;
    ClippedSpan rows;
};

// False when nothing of src would be drawn at (x, y): an empty target or source, or a position
// wholly outside the target. Otherwise the clipped columns and rows.
inline bool PlaceDrawing(const CGraphicsImage& target, const CGraphicsImage& src, int x, int y, DrawPlacement& place)
{
    if (target.IsEmpty() || src.IsEmpty())
        return false;
    return ClipSpan(x, src.Width(), target.Width(), place.columns) &&
           ClipSpan(y, src.Height(), target.Height(), place.rows);
}
