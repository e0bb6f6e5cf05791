#pragma once
// Copies part of a 32-bit picture whose rows lie bottom-up in memory to a painter, without
// copying the picture first: each row is wrapped in a one-row QImage where it lies and drawn in
// its place. (Drawing the whole band as one upside-down image through a flipping transform costs
// about twice as much; bench/ui/repaint.cpp compares the two.)

#include <QPoint>
#include <QRect>

class CGraphicsImage;
class QPainter;

// source: picture coordinates (top row 0), clipped to the picture; target: where its top-left
// lands. Pictures other than 32 bits per pixel are not drawn.
void DrawBottomUpImage(QPainter& painter, const CGraphicsImage& image, const QRect& source, const QPoint& target);
