#include "RendererFixture.h"

#include "game/GameColours.h"
#include "game/QtLetterGlyphs.h"
#include "imaging/GraphicsImage.h"

#include <cstring>

#include <QFontInfo>
#include <QGuiApplication>
#include <QTest>

namespace {

struct Ink {
    int pixels = 0;
    int right = -1, top = 1000, bottom = -1;
};

Ink InkOf(CQtLetterGlyphs& glyphs, std::uint8_t character, GlyphExtent& extent)
{
    CGraphicsImage mask;
    mask.Create(1, 256, 256, 0);
    extent = glyphs.RenderGlyph(character, mask);
    Ink ink;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            if (mask.GetPixelFn(x, y) != 0) {
                ++ink.pixels;
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

}  // namespace

class LetterGlyphsTest : public QObject {
    Q_OBJECT

private slots:
    void aFixedPitchFontWithA72By128CellAndInkInside()
    {
        CQtLetterGlyphs glyphs;
        QVERIFY(QFontInfo(glyphs.Font()).fixedPitch());
        GlyphExtent extent;
        InkOf(glyphs, 'M', extent);
        QVERIFY2(std::abs(extent.width - 72) <= 2, qPrintable(QString::number(extent.width)));
        QVERIFY2(std::abs(extent.height - 128) <= 3, qPrintable(QString::number(extent.height)));
        GlyphExtent narrow;
        InkOf(glyphs, 'i', narrow);
        QCOMPARE(narrow.width, extent.width);

        // Letters have ink inside their cell, and umlauts their dots.
        for (std::uint8_t c : {std::uint8_t('A'), std::uint8_t('*'), std::uint8_t(0xC4), std::uint8_t(0xDF)}) {
            const Ink ink = InkOf(glyphs, c, extent);
            QVERIFY2(ink.pixels > 50, qPrintable(QString::number(c)));
            QVERIFY(ink.right < extent.width + 4);
            QVERIFY(ink.bottom < extent.height);
        }
        QCOMPARE(InkOf(glyphs, ' ', extent).pixels, 0);
        QVERIFY(InkOf(glyphs, 0xC4, extent).top < InkOf(glyphs, 'A', extent).top);  // Ä in Windows-1252
    }

    // Kept glyphs give the pixels of drawing afresh: every byte, both colours, two cell sizes.
    void keptGlyphsMatchFreshOnes()
    {
        CQtLetterGlyphs glyphs;
        CGameState state;
        CShownPicture picture;
        RecordingTarget target;
        CGameRenderer renderer(state, picture, target, glyphs);
        const std::uint32_t colours[] = {GameColours::ShownLetter, GameColours::CoveredCell};
        const std::pair<int, int> cellSizes[] = {{20, 35}, {13, 23}};
        for (const auto& [w, h] : cellSizes) {
            renderer.CellWidth = w;
            renderer.CellHeight = h;
            CGraphicsImage fresh, warm, kept;  // kept: drawn again once every glyph is there
            for (CGraphicsImage* image : {&fresh, &warm, &kept}) {
                QVERIFY(image->Create(32, 256 * w, 2 * h, 0));
                for (int c = 0; c < 256 * 2; ++c) {
                    if (image == &fresh)
                        renderer.ClearGlyphCache();
                    renderer.DrawLetter(*image, c / 2 * w, c % 2 * h, static_cast<std::uint8_t>(c / 2), colours[c % 2]);
                }
            }
            QCOMPARE(std::memcmp(fresh.Data(), kept.Data(), fresh.ImageSize()), 0);
        }
    }
};

QTEST_MAIN(LetterGlyphsTest)
#include "letterglyphs_qtest.moc"
