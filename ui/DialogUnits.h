#pragma once
// Dialog units as dialog templates measure: a quarter of the average character width
// horizontally and an eighth of the line height vertically, so a layout grows with the font.

#include <QFontMetrics>
#include <QRect>

#include <algorithm>

class CDialogUnits {
public:
    explicit CDialogUnits(const QFontMetrics& metrics)
        : baseX_(std::max(1, metrics.averageCharWidth()))
        , baseY_(std::max(1, metrics.height()))
    {
    }
    QRect Rect(int x, int y, int width, int height) const { return {X(x), Y(y), X(width), Y(height)}; }
    int X(int units) const { return units * baseX_ / 4; }
    int Y(int units) const { return units * baseY_ / 8; }

private:
    int baseX_;
    int baseY_;
};
