#include "app/MenuItemData.h"

#include <algorithm>

namespace {

constexpr std::uint32_t Half(std::uint32_t colour)
{
    return colour >> 1 & 0x7F7F7Fu;
}

constexpr std::uint32_t Quarter(std::uint32_t colour)
{
    return colour >> 2 & 0x3F3F3Fu;
}

constexpr unsigned char kNoBreakSpace = 0xA0;
constexpr int kDisabledTint = 0xDF;

std::uint16_t Clamp16(int value)
{
    return static_cast<std::uint16_t>(std::clamp(value, 0, 0xFFFF));
}

}  // namespace

std::uint32_t BlendHalf(std::uint32_t a, std::uint32_t b)
{
    return Half(a) + Half(b);
}

std::uint32_t BlendThreeQuarters(std::uint32_t a, std::uint32_t b)
{
    return Quarter(a) * 3 + Quarter(b);
}

MenuColours BlendMenuColours(const MenuSystemColours& system)
{
    MenuColours colours;
    colours.background = system.window;
    colours.selection = BlendHalf(system.highlight, system.window);
    colours.selectionColumn = BlendHalf(system.highlight, colours.selection);
    colours.disabledDark = BlendThreeQuarters(system.grayText, system.window);
    colours.disabledLight = BlendThreeQuarters(system.window, system.grayText);
    return colours;
}

std::uint8_t DisabledPictureLevel(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    const int level = (128 * blue + 85 * green + 44 * red) / 256;
    if (level > 192)
        return static_cast<std::uint8_t>(kDisabledTint + (256 - kDisabledTint) * ((level - 192) / 4) / 64);
    return static_cast<std::uint8_t>((level / 3 + 192) * kDisabledTint / 256);
}

std::string_view MenuItemData::Label() const
{
    const std::string_view all(text);
    return tabPosition < 0 ? all : all.substr(0, static_cast<std::size_t>(tabPosition));
}

std::string_view MenuItemData::Accelerator() const
{
    // A tab cut off with the end of a long text leaves no accelerator.
    if (tabPosition < 0 || static_cast<std::size_t>(tabPosition) >= text.size())
        return {};
    return std::string_view(text).substr(static_cast<std::size_t>(tabPosition) + 1);
}

MeasuredMenuText MeasureMenuText(std::string_view text, int imageWidth, const TextWidth& width)
{
    MeasuredMenuText measured;
    const std::size_t tab = std::min(text.find('\t'), text.size());
    const std::string_view label = text.substr(0, tab);
    measured.labelWidth = width(label) + imageWidth + 4;
    if (tab < text.size()) {
        measured.tabPosition = static_cast<int>(tab);
        measured.acceleratorWidth = std::max(width(text.substr(tab + 1)) + 2, kMinimumAcceleratorWidth);
    }
    measured.noImage = !label.empty() && static_cast<unsigned char>(label.back()) == kNoBreakSpace;
    return measured;
}

std::uint16_t MenuImageIndex(std::span<const std::uint16_t> imageTable, std::uint32_t command)
{
    for (std::size_t i = imageTable.size(); i-- > 0;) {
        if (imageTable[i] == command)
            return static_cast<std::uint16_t>(i);
    }
    return kNoImage;
}

MenuItemData ConvertMenuText(std::string_view text, std::uint32_t command, std::span<const std::uint16_t> imageTable,
                             int imageWidth, int imageHeight, int menuHeight, const TextWidth& width)
{
    const MeasuredMenuText measured = MeasureMenuText(text, imageWidth, width);
    MenuItemData item;
    item.text = std::string(text.substr(0, kMenuTextLimit));
    item.tabPosition = measured.tabPosition;
    item.imageIndex = measured.noImage ? kNoImage : MenuImageIndex(imageTable, command);
    item.height = Clamp16(std::max(imageHeight, menuHeight));
    item.totalWidth = Clamp16(measured.labelWidth + measured.acceleratorWidth);
    item.acceleratorX = Clamp16(measured.labelWidth);
    return item;
}

void AlignAcceleratorColumn(std::span<MenuItemData*> items, int x)
{
    for (MenuItemData* item : items)
        if (item != nullptr) {
            item->totalWidth = Clamp16(item->totalWidth - item->acceleratorX + x);
            item->acceleratorX = Clamp16(x);
        }
}

int AcceleratorLeft(int textLeft, int acceleratorX, int imageWidth)
{
    return textLeft + acceleratorX - imageWidth + 4;
}
