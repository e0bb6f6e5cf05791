#include "app/MenuItemData.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Seven pixels a byte: widths that are easy to follow.
const TextWidth kWidth = [](std::string_view text) { return static_cast<int>(text.size()) * 7; };
const std::vector<std::uint16_t> kToolBar = {57600, 32802, 32771, 33049, 33050, 32809, 32813, 57664};

TEST(MenuItemData, Blends)
{
    EXPECT_EQ(BlendHalf(0x010203, 0x030201), 0x010201u);  // each channel on its own, no carries
    // The classic scheme: navy highlight, white window, grey text.
    const MenuColours colours = BlendMenuColours({.window = 0xFFFFFF, .highlight = 0x800000, .grayText = 0x808080});
    EXPECT_EQ(colours.selection, 0xBF7F7Fu);
    EXPECT_EQ(colours.selectionColumn, 0x9F3F3Fu);
    EXPECT_EQ(colours.disabledDark, 0x9F9F9Fu);
    EXPECT_EQ(colours.disabledLight, 0xDDDDDDu);
}

TEST(MenuItemData, DisabledPictureLevels)
{
    // Red, green, blue and the grey level; the two formulas meet at 192.
    const int cases[][4] = {{255, 255, 255, 230}, {0, 0, 0, 167},       {255, 0, 0, 179},     {0, 0, 255, 203},
                            {191, 191, 191, 222}, {192, 192, 192, 223}, {200, 200, 200, 224}};
    for (const auto& [r, g, b, level] : cases)
        EXPECT_EQ(DisabledPictureLevel(std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)), level) << r << "," << b;
}

TEST(MenuItemData, Measure)
{
    // Text, label width, accelerator width, tab position, no picture; seven pixels a byte.
    const std::tuple<const char*, int, int, int, bool> cases[] = {
        {"Erster Spieler +\tF1", 16 * 7 + 20, 24, 16, false},  // short keys get 24 pixels
        {"Vollbild\tStrg+Umschalt+F10", 8 * 7 + 20, 17 * 7 + 2, 8, false},
        {"&Neu", 4 * 7 + 20, 0, -1, false},
        {"&Neu\xA0", 5 * 7 + 20, 0, -1, true},
        {"Text\xA0\tF6", 5 * 7 + 20, 24, 5, true},
        {"Text\tF6\xA0", 4 * 7 + 20, 24, 4, false},  // only the label's last byte counts
        {"\tF1", 20, 24, 0, false}};
    for (const auto& [text, label, accelerator, tab, noImage] : cases) {
        const MeasuredMenuText m = MeasureMenuText(text, 16, kWidth);
        EXPECT_EQ(std::tie(m.labelWidth, m.acceleratorWidth, m.tabPosition, m.noImage),
                  std::tie(label, accelerator, tab, noImage)) << text;
    }
}

TEST(MenuItemData, ConvertAndAlign)
{
    const std::tuple<const char*, std::uint32_t, int> pictures[] = {
        {"&Neu", 57600, 0}, {"Fenster fi&xieren", 32771, 2}, {"Erster Spieler +\tF1", 33034, kNoImage},
        {"&Neu\xA0", 57600, kNoImage}};
    for (const auto& [text, command, image] : pictures)
        EXPECT_EQ(ConvertMenuText(text, command, kToolBar, 16, 15, 20, kWidth).imageIndex, image) << text;
    const std::vector<std::uint16_t> twice = {7, 9, 7};
    EXPECT_EQ(MenuImageIndex(twice, 7), 2);  // the last entry wins

    // Cut to 63 bytes after measuring the whole text; a tab cut off leaves no accelerator.
    const std::string longText = std::string(70, 'x') + "\tF1";
    MenuItemData cut = ConvertMenuText(longText, 1, kToolBar, 16, 15, 10, kWidth);
    EXPECT_EQ(cut.text, std::string(63, 'x'));
    EXPECT_EQ(std::string(cut.Label()) + "|" + std::string(cut.Accelerator()), cut.text + "|");
    EXPECT_EQ(cut.acceleratorX, 70 * 7 + 20);
    EXPECT_EQ(cut.height, 15);  // the picture is taller than the menu line

    MenuItemData first = ConvertMenuText("Erster Spieler +\tF1", 33034, kToolBar, 16, 15, 20, kWidth);
    MenuItemData plain = ConvertMenuText("Sekundentick", 33053, kToolBar, 16, 15, 20, kWidth);
    EXPECT_EQ(first.height, 20);
    EXPECT_EQ(std::string(first.Label()) + "|" + std::string(first.Accelerator()), "Erster Spieler +|F1");
    std::array<MenuItemData*, 2> items = {&first, &plain};
    AlignAcceleratorColumn(items, 148);
    EXPECT_EQ(std::tie(first.acceleratorX, first.totalWidth, plain.totalWidth), std::make_tuple(148, 148 + 24, 148));
    EXPECT_EQ(AcceleratorLeft(27, 148, 16), 163);
}

}  // namespace
