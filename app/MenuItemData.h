#pragma once
// The arithmetic of the flat drop-down menus, apart from any window system: the colours blended
// from the system's, the light-grey pictures of disabled commands, and the measuring of an item
// text into a label and an accelerator column. Colours are 0x00BBGGRR; texts are Windows-1252.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

// Half of each channel of a plus half of b.
std::uint32_t BlendHalf(std::uint32_t a, std::uint32_t b);
// Three quarters of each channel of a plus a quarter of b.
std::uint32_t BlendThreeQuarters(std::uint32_t a, std::uint32_t b);

// The system colours the menus are drawn from.
struct MenuSystemColours {
    std::uint32_t window = 0;
    std::uint32_t highlight = 0;
    std::uint32_t grayText = 0;
    std::uint32_t menu = 0;
    std::uint32_t menuText = 0;
    std::uint32_t captionText = 0;
    std::uint32_t buttonFace = 0;
    std::uint32_t buttonShadow = 0;
    std::uint32_t light3d = 0;
};

struct MenuColours {
    std::uint32_t background = 0;
    std::uint32_t selection = 0;
    std::uint32_t selectionColumn = 0;
    std::uint32_t disabledDark = 0;
    std::uint32_t disabledLight = 0;
};

MenuColours BlendMenuColours(const MenuSystemColours& system);

// The grey level every non-transparent pixel of a disabled command's picture gets.
std::uint8_t DisabledPictureLevel(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

inline constexpr std::size_t kMenuTextLimit = 63;
inline constexpr std::uint16_t kNoImage = 0xFFFF;
inline constexpr std::size_t kMenuImageLimit = 512;
// Room between the widest label and the accelerator column when a drop-down is built.
inline constexpr int kAcceleratorGap = 16;
inline constexpr int kMinimumAcceleratorWidth = 24;

// One converted menu item.
struct MenuItemData {
    std::string text;        // at most kMenuTextLimit bytes; label and accelerator split by a tab
    int tabPosition = -1;    // -1 without an accelerator
    std::uint16_t imageIndex = kNoImage;
    std::uint16_t height = 0;
    std::uint16_t totalWidth = 0;
    std::uint16_t acceleratorX = 0;

    // The text before the tab (all of it without one) and the text after it.
    std::string_view Label() const;
    std::string_view Accelerator() const;
};

struct MeasuredMenuText {
    int labelWidth = 0;
    int acceleratorWidth = 0;
    int tabPosition = -1;
    bool noImage = false;  // the label ends in a no-break space
};

// The pixel width of a single-line text in the menu font.
using TextWidth = std::function<int(std::string_view)>;

MeasuredMenuText MeasureMenuText(std::string_view text, int imageWidth, const TextWidth& width);

// The picture of a command: the last position of its id in the table, kNoImage when absent.
std::uint16_t MenuImageIndex(std::span<const std::uint16_t> imageTable, std::uint32_t command);

// A converted item; menuHeight is the platform's height of a menu line.
MenuItemData ConvertMenuText(std::string_view text, std::uint32_t command, std::span<const std::uint16_t> imageTable,
                             int imageWidth, int imageHeight, int menuHeight, const TextWidth& width);

// Moves the accelerator column of every item to x, keeping each accelerator's width.
void AlignAcceleratorColumn(std::span<MenuItemData*> items, int x);

// Where an accelerator is drawn, from the left edge of its text.
int AcceleratorLeft(int textLeft, int acceleratorX, int imageWidth);
