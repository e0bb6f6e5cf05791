#pragma once
// The answer letters rendered with Qt: a fixed-pitch font whose character cell is 72 x 128
// pixels, drawn without antialiasing. "Courier New" first (on Linux its metric twin Liberation
// Mono answers to that name), then "Courier", then whatever fixed-pitch face the system has.
// Needs a QGuiApplication.

#include "game/LetterGlyphs.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>

class CQtLetterGlyphs final : public ILetterGlyphs {
public:
    CQtLetterGlyphs();

    GlyphExtent RenderGlyph(std::uint8_t character, CGraphicsImage& mask) override;

    const QFont& Font() const { return font_; }

private:
    QFont font_;
    QFontMetrics metrics_;  // resolving the font's metrics costs more than drawing the letter
    QImage canvas_;
};

// The letter font: height 128, average width 72, weight 400, fixed pitch, no antialiasing.
QFont CreateLetterFont();
