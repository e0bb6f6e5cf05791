#include "app/MenuItemData.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

// Seven pixels a byte: widths that are easy to follow.
const TextWidth kWidth = [](std::string_view text) { return static_cast<int>(text.size()) * 7; };
const std::vector<std::uint16_t> kToolBar = {57600, 32802, 32771, 33049, 33050, 32809, 32813, 57664};

TEST(MenuItemData, Blends)
{
    EXPECT_EQ(BlendHalf(0xFFFFFF, 0x000000), 0x7F7F7Fu);
    EXPECT_EQ(BlendHalf(0x010203, 0x030201), 0x010201u);  // each channel on its own, no carries
    EXPECT_EQ(BlendThreeQuarters(0x808080, 0xFFFFFF), 0x9F9F9Fu);
    EXPECT_EQ(BlendThreeQuarters(0xFFFFFF, 0x808080), 0xDDDDDDu);
    // The classic scheme: navy highlight, white window, grey text.
    MenuSystemColours system;
    system.window = 0xFFFFFF;
    system.highlight = 0x800000;
    system.grayText = 0x808080;
    const MenuColours colours = BlendMenuColours(system);
    EXPECT_EQ(colours.background, 0xFFFFFFu);
    EXPECT_EQ(colours.selection, 0xBF7F7Fu);
    EXPECT_EQ(colours.selectionColumn, 0x9F3F3Fu);
    EXPECT_EQ(colours.disabledDark, 0x9F9F9Fu);
    EXPECT_EQ(colours.disabledLight, 0xDDDDDDu);
}

TEST(MenuItemData, DisabledPictureLevels)
{
    struct Case {
        std::array<std::uint8_t, 3> rgb;
        std::uint8_t level;
    };
    const Case cases[] = {
        {{255, 255, 255}, 230}, {{0, 0, 0}, 167},       {{255, 0, 0}, 179},     {{0, 0, 255}, 203},
        {{191, 191, 191}, 222}, {{192, 192, 192}, 223}, {{200, 200, 200}, 224},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DisabledPictureLevel(c.rgb[0], c.rgb[1], c.rgb[2]), c.level) << int(c.rgb[0]) << "," << int(c.rgb[2]);
}

TEST(MenuItemData, Measure)
{
    struct Case {
        const char* text;
        int label;
        int accelerator;
        int tab;
        bool noImage;
    };
    const Case cases[] = {
        {"Erster Spieler +\tF1", 16 * 7 + 20, 24, 16, false},   // short keys get 24 pixels
        {"Vollbild\tStrg+Umschalt+F10", 8 * 7 + 20, 17 * 7 + 2, 8, false},
        {"&Neu", 4 * 7 + 20, 0, -1, false},
        {"&Neu\xA0", 5 * 7 + 20, 0, -1, true},
        {"Text\xA0\tF6", 5 * 7 + 20, 24, 5, true},
        {"Text\tF6\xA0", 4 * 7 + 20, 24, 4, false},  // only the label's last byte counts
        {"\tF1", 20, 24, 0, false},
    };
    for (const auto& c : cases) {
        const MeasuredMenuText m = MeasureMenuText(c.text, 16, kWidth);
        EXPECT_EQ(m.labelWidth, c.label) << c.text;
        EXPECT_EQ(m.acceleratorWidth, c.accelerator) << c.text;
        EXPECT_EQ(m.tabPosition, c.tab) << c.text;
        EXPECT_EQ(m.noImage, c.noImage) << c.text;
    }
}

TEST(MenuItemData, ConvertAndAlign)
{
    struct Case {
        const char* text;
        std::uint32_t command;
        std::uint16_t image;
    };
    const Case cases[] = {
        {"&Neu", 57600, 0},          {"Starte nächstes Rätsel\tF5", 32809, 5},
        {"Fenster fi&xieren", 32771, 2}, {"Erster Spieler +\tF1", 33034, kNoImage},
        {"&Neu\xA0", 57600, kNoImage},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConvertMenuText(c.text, c.command, kToolBar, 16, 15, 20, kWidth).imageIndex, c.image) << c.text;
    const std::vector<std::uint16_t> twice = {7, 9, 7};
    EXPECT_EQ(MenuImageIndex(twice, 7), 2);  // the last entry wins

    // Cut to 63 bytes after measuring the whole text; a tab cut off leaves no accelerator.
    const std::string longText = std::string(70, 'x') + "\tF1";
    MenuItemData cut = ConvertMenuText(longText, 1, kToolBar, 16, 15, 10, kWidth);
    EXPECT_EQ(cut.text, std::string(63, 'x'));
    EXPECT_EQ(cut.Label(), std::string(63, 'x'));
    EXPECT_EQ(cut.Accelerator(), "");
    EXPECT_EQ(cut.acceleratorX, 70 * 7 + 20);
    EXPECT_EQ(cut.height, 15);  // the picture is taller than the menu line

    MenuItemData first = ConvertMenuText("Erster Spieler +\tF1", 33034, kToolBar, 16, 15, 20, kWidth);
    MenuItemData plain = ConvertMenuText("Sekundentick", 33053, kToolBar, 16, 15, 20, kWidth);
    EXPECT_EQ(first.height, 20);
    EXPECT_EQ(first.Label(), "Erster Spieler +");
    EXPECT_EQ(first.Accelerator(), "F1");
    std::array<MenuItemData*, 2> items = {&first, &plain};
    AlignAcceleratorColumn(items, 148);
    EXPECT_EQ(first.acceleratorX, 148);
    EXPECT_EQ(first.totalWidth, 148 + 24);
    EXPECT_EQ(plain.totalWidth, 148);
    EXPECT_EQ(AcceleratorLeft(27, 148, 16), 163);
}

}  // namespace
