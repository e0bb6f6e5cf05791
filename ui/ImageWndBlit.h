#pragma once
// Copies part of a 32-bit picture whose rows lie bottom-up in memory to a painter, without
// copying the picture: the band of rows is wrapped in a QImage as it lies (upside down) and drawn
// through a vertical flip.

#include <QPoint>
#include <QRect>

class CGraphicsImage;
class QPainter;

// source: picture coordinates (top row 0), clipped to the picture; target: where its top-left
// lands. Pictures other than 32 bits per pixel are not drawn.
void DrawBottomUpImage(QPainter& painter, const CGraphicsImage& image, const QRect& source, const QPoint& target);
