#pragma once
// Measures and draws the items of the frame's drop-downs flat: a grey column with the tool-bar
// picture of a command, a blended highlight, embossed disabled texts, engraved separators and an
// accelerator column. The system colours come from the palette roles that mean the same.

#include "app/MenuItemData.h"

#include <QProxyStyle>

class QPalette;
class QStyleOptionMenuItem;

class CMenuStyle final : public QProxyStyle {
    Q_OBJECT
public:
    // imageSize: the size of one tool-bar picture, the width of the picture column less 4.
    explicit CMenuStyle(QSize imageSize);

    static MenuSystemColours SystemColours(const QPalette& palette);

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;

private:
    void DrawItem(const QStyleOptionMenuItem& item, QPainter& painter) const;

    QSize imageSize_;
};
