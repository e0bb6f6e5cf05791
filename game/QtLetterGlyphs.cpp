#include "game/QtLetterGlyphs.h"

#include "imaging/GraphicsImage.h"
#include "support/Cp1252.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kCellHeight = 128;
constexpr int kCellWidth = 72;
constexpr int kCanvasSize = 256;

// Scales a face so that its line height is the cell height and its advance the cell width, the
// way a font request with both height and width is met.
QFont SizedFont(QFont font)
{
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setFixedPitch(true);
    font.setKerning(false);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferOutline));
    font.setPixelSize(kCellHeight);
    const int height = QFontMetrics(font).height();
    if (height > 0)
        font.setPixelSize(std::max(1, kCellHeight * kCellHeight / height));
    const int advance = QFontMetrics(font).horizontalAdvance(QLatin1Char('M'));
    if (advance > 0)
        font.setStretch(std::clamp(100 * kCellWidth / advance, 1, 4000));
    return font;
}

bool IsFixedPitch(const QFont& font)
{
    return QFontInfo(font).fixedPitch();
}

}  // namespace

QFont CreateLetterFont()
{
    for (const char* family : {"Courier New", "Courier"}) {
        QFont font(QString::fromLatin1(family));
        font.setStyleHint(QFont::TypeWriter);
        if (IsFixedPitch(font))
            return SizedFont(font);
    }
    QFont fallback;
    fallback.setStyleHint(QFont::Monospace);
    fallback.setFamily(QString());
    return SizedFont(fallback);
}

CQtLetterGlyphs::CQtLetterGlyphs()
    : font_(CreateLetterFont())
    , metrics_(font_)
    , canvas_(kCanvasSize, kCanvasSize, QImage::Format_ARGB32_Premultiplied)
{
}

GlyphExtent CQtLetterGlyphs::RenderGlyph(std::uint8_t character, CGraphicsImage& mask)
{
    if (mask.Bpp() != 1)
        return {};
    const QChar text(static_cast<char16_t>(Cp1252ToUnicode(character)));
    const QFontMetrics& metrics = metrics_;
    // Only the character's cell and a margin for overhanging strokes are drawn and scanned: the
    // whole canvas would cost more than the rest of the letter.
    const int width = std::min<int>({kCanvasSize, static_cast<int>(mask.Width()),
                                     metrics.horizontalAdvance(text) * 3 / 2 + 8});
    const int height = std::min<int>({kCanvasSize, static_cast<int>(mask.Height()), metrics.height()});
    const QRect area(0, 0, width, height);
    QPainter painter(&canvas_);
    painter.setClipRect(area);
    painter.fillRect(area, Qt::black);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(font_);
    painter.setPen(Qt::white);
    painter.drawText(0, metrics.ascent(), QString(text));
    painter.end();

    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(canvas_.constScanLine(y));
        std::uint8_t* bits = mask.Row(y);  // 1 bit per pixel, leftmost in the top bit
        for (int x = 0; x < width; ++x)
            if (qGreen(row[x]) >= 128)
                bits[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
    }
    return {metrics.horizontalAdvance(text), metrics.height()};
}
