#include "app/MenuStyle.h"

#include "app/OwnerDrawMenu.h"
#include "support/Cp1252.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionMenuItem>

namespace {

// Colours are kept as 0x00BBGGRR, the form the blends work on.
std::uint32_t ToColourRef(const QColor& colour)
{
    return static_cast<std::uint32_t>(colour.red()) | static_cast<std::uint32_t>(colour.green()) << 8 |
           static_cast<std::uint32_t>(colour.blue()) << 16;
}

QColor FromColourRef(std::uint32_t colour)
{
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>(colour >> 8 & 0xFF),
                  static_cast<int>(colour >> 16 & 0xFF));
}

// Separators and unconverted items are measured as the platform measures an empty owner-drawn item.
constexpr QSize kSeparatorSize(20, 8);
// The platform widens every owner-drawn item by a check mark's width; the accelerator column,
// which starts a few pixels right of where its width was measured, needs that room.
constexpr int kCheckMarkRoom = 12;

bool IsOwnerDrawn(const QWidget* widget)
{
    return qobject_cast<const COwnerDrawMenu*>(widget) != nullptr;
}

struct ItemText {
    QString label;
    QString accelerator;  // empty without a tab
};

ItemText SplitText(const QString& text)
{
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    if (tab < 0)
        return {text, {}};
    return {text.left(tab), text.mid(tab + 1)};
}

// A single-line text, vertically centred between top and the item's bottom.
void DrawText(QPainter& painter, const QRect& item, int left, int top, const QString& text, const QColor& colour,
              int flags)
{
    painter.setPen(colour);
    painter.drawText(QRect(QPoint(left, top), QPoint(item.right(), item.bottom())),
                     flags | Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

void FillLine(QPainter& painter, int left, int right, int y, const QColor& colour)
{
    if (right > left)
        painter.fillRect(left, y, right - left, 1, colour);
}

void DrawCheckMark(QPainter& painter, const QRectF& square, const QColor& colour)
{
    // Centred in the picture's square, as wide as the smaller side.
    const qreal side = qMin(square.width(), square.height()) * 0.75;
    const QPointF origin = square.center() - QPointF(side / 2, side / 2);
    QPainterPath mark;
    mark.moveTo(origin + QPointF(side * 0.08, side * 0.52));
    mark.lineTo(origin + QPointF(side * 0.38, side * 0.82));
    mark.lineTo(origin + QPointF(side * 0.94, side * 0.18));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, qMax<qreal>(1.5, side / 6), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawPath(mark);
    painter.restore();
}

}  // namespace

CMenuStyle::CMenuStyle(QSize imageSize)
    : imageSize_(imageSize)
{
}

MenuSystemColours CMenuStyle::SystemColours(const QPalette& palette)
{
    MenuSystemColours colours;
    colours.window = ToColourRef(palette.color(QPalette::Active, QPalette::Base));
    colours.highlight = ToColourRef(palette.color(QPalette::Active, QPalette::Highlight));
    colours.grayText = ToColourRef(palette.color(QPalette::Disabled, QPalette::Text));
    colours.menu = ToColourRef(palette.color(QPalette::Active, QPalette::Window));
    colours.menuText = ToColourRef(palette.color(QPalette::Active, QPalette::WindowText));
    colours.captionText = ToColourRef(palette.color(QPalette::Active, QPalette::HighlightedText));
    colours.buttonFace = ToColourRef(palette.color(QPalette::Active, QPalette::Button));
    colours.buttonShadow = ToColourRef(palette.color(QPalette::Active, QPalette::Dark));
    colours.light3d = ToColourRef(palette.color(QPalette::Active, QPalette::Midlight));
    return colours;
}

int CMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    if (IsOwnerDrawn(widget)) {
        switch (metric) {
        case PM_MenuPanelWidth: return 1;
        case PM_MenuHMargin:
        case PM_MenuVMargin: return 0;
        default: break;
        }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QSize CMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                   const QWidget* widget) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    const auto* menu = qobject_cast<const COwnerDrawMenu*>(widget);
    if (type != CT_MenuItem || item == nullptr || menu == nullptr)
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    QSize measured = kSeparatorSize;
    if (item->menuItemType != QStyleOptionMenuItem::Separator) {
        const ItemText text = SplitText(item->text);
        const int acceleratorWidth =
            text.accelerator.isEmpty() ? 0
                                       : qMax(item->fontMetrics.horizontalAdvance(text.accelerator) + 2,
                                              kMinimumAcceleratorWidth);
        const int totalWidth = item->reservedShortcutWidth + acceleratorWidth;
        measured = QSize(totalWidth + 2 + kCheckMarkRoom,
                         qMax(imageSize_.height(), MenuLineHeight(item->fontMetrics)));
    }
    // Qt's layout adds the widest accelerator text to the widest item; the records hold it already.
    measured.rwidth() = qMax(1, measured.width() - menu->AddedAcceleratorWidth());
    return measured;
}

void CMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (item != nullptr && IsOwnerDrawn(widget)) {
        if (element == CE_MenuItem) {
            DrawItem(*item, *painter);
            return;
        }
        if (element == CE_MenuEmptyArea) {
            painter->fillRect(option->rect, option->palette.color(QPalette::Active, QPalette::Base));
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void CMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const
{
    if (IsOwnerDrawn(widget) && (element == PE_PanelMenu || element == PE_FrameMenu)) {
        const QPalette& palette = option->palette;
        if (element == PE_PanelMenu)
            painter->fillRect(option->rect, palette.color(QPalette::Active, QPalette::Base));
        painter->setPen(palette.color(QPalette::Active, QPalette::Dark));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void CMenuStyle::DrawItem(const QStyleOptionMenuItem& item, QPainter& painter) const
{
    const MenuSystemColours system = SystemColours(item.palette);
    const MenuColours colours = BlendMenuColours(system);
    const QRect rect = item.rect;
    const int left = rect.left();
    const int top = rect.top();
    const int right = rect.left() + rect.width();  // exclusive
    const int imageWidth = imageSize_.width();
    const bool disabled = !(item.state & State_Enabled);
    const bool selected = (item.state & State_Selected) && !disabled;

    const QRect column(left, top, imageWidth + 4, rect.height());
    painter.fillRect(column, FromColourRef(selected ? colours.selectionColumn : system.menu));
    painter.fillRect(QRect(column.left() + column.width(), top, right - column.left() - column.width(), rect.height()),
                     FromColourRef(selected ? colours.selection : colours.background));

    // When window, menu and highlight colours coincide the column would not show: no gap then.
    const bool columnInvisible = system.menu == colours.background && system.highlight == colours.selection;
    const int columnRight = column.left() + column.width();
    const int textLeft = columnInvisible ? columnRight : columnRight + 3;

    if (item.menuItemType == QStyleOptionMenuItem::Separator) {
        if (columnInvisible) {
            FillLine(painter, left + 2, right - 2, top + 3, FromColourRef(colours.disabledDark));
            FillLine(painter, left + 2, right - 2, top + 4, FromColourRef(system.captionText));
        } else {
            FillLine(painter, left + 2, textLeft - 5, top + 3, FromColourRef(system.grayText));
            FillLine(painter, left + 2, textLeft - 5, top + 4, FromColourRef(system.captionText));
            FillLine(painter, textLeft - 2, right - 2, top + 3, FromColourRef(colours.disabledDark));
            FillLine(painter, textLeft - 2, right - 2, top + 4, FromColourRef(colours.disabledLight));
        }
        return;
    }

    const bool ticked = item.checkType != QStyleOptionMenuItem::NotCheckable && item.checked;
    const QPoint picture(left + 1, top + 2);
    if (!item.icon.isNull()) {
        if (ticked) {
            painter.fillRect(column, FromColourRef(system.buttonFace));
            const QRect box(left, top + 1, imageWidth + 2, imageSize_.height() + 2);
            painter.fillRect(box, FromColourRef(system.light3d));
            FillLine(painter, box.left(), box.left() + box.width(), box.top(), FromColourRef(system.buttonShadow));
            painter.fillRect(box.left(), box.top(), 1, box.height(), FromColourRef(system.buttonShadow));
            FillLine(painter, box.left(), box.left() + box.width(), box.bottom(), Qt::white);
            painter.fillRect(box.right(), box.top() + 1, 1, box.height() - 1, Qt::white);
        }
        painter.drawPixmap(picture, item.icon.pixmap(imageSize_, disabled ? QIcon::Disabled : QIcon::Normal));
    } else if (ticked) {
        DrawCheckMark(painter, QRectF(QPointF(picture), QSizeF(imageSize_)),
                      FromColourRef(disabled ? system.grayText : system.menuText));
    }

    painter.setFont(item.font);
    const int mnemonic = proxy()->styleHint(SH_UnderlineShortcut, &item, nullptr) ? Qt::TextShowMnemonic
                                                                                   : Qt::TextHideMnemonic;
    const ItemText text = SplitText(item.text);
    const int acceleratorLeft = AcceleratorLeft(textLeft, item.reservedShortcutWidth, imageWidth);
    if (disabled) {
        const QColor light = FromColourRef(colours.disabledLight);
        const QColor dark = FromColourRef(colours.disabledDark);
        DrawText(painter, rect, textLeft + 1, top + 3, text.label, light, mnemonic);
        DrawText(painter, rect, textLeft, top + 2, text.label, dark, mnemonic);
        if (!text.accelerator.isEmpty()) {
            DrawText(painter, rect, acceleratorLeft + 1, top + 5, text.accelerator, light, mnemonic);
            DrawText(painter, rect, acceleratorLeft, top + 4, text.accelerator, dark, mnemonic);
        }
        return;
    }
    const QColor colour = FromColourRef(selected ? system.captionText : system.menuText);
    DrawText(painter, rect, textLeft, top + 2, text.label, colour, mnemonic);
    if (!text.accelerator.isEmpty())
        DrawText(painter, rect, acceleratorLeft, top + 2, text.accelerator, colour, mnemonic);
}
