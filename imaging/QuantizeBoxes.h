#pragma once
// The median cut behind CGraphicsImage::Quantize: a histogram of the distinct colours of a picture
// and the boxes that cut the colour cube into at most 256 parts.
//
// The box order, the cuts and therefore every palette entry and every pixel's index are fixed by
// the historic method, which walked value-indexed lists of colours. Here each box owns one
// contiguous run of the distinct colours, so a cut looks only at the colours of its own box, and a
// colour finds its box through the histogram's hash instead of a search over the boxes.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace quantize {

// A colour as 0x00RRGGBB. Axis 0 is blue, 1 green, 2 red: the axis's value is the byte at 8 * axis.
inline std::uint32_t AxisValue(std::uint32_t colour, int axis)
{
    return (colour >> (8 * axis)) & 0xFF;
}

struct ColourCount
{
    std::uint32_t colour = 0;
    std::uint32_t count = 0;
};

// Distinct colours with their pixel counts, in order of first appearance, found through an
// open-addressing hash. After the cut, the hash maps each colour to its box instead.
class ColourHistogram
{
public:
    ColourHistogram();
    void Add(std::uint32_t colour);
    // The value stored for a colour that was added: its index in Colours() until SetValue.
    std::uint32_t ValueOf(std::uint32_t colour) const;
    void SetValue(std::uint32_t colour, std::uint32_t value);
    std::vector<ColourCount>& Colours() { return m_colours; }

private:
    struct Slot
    {
        std::uint32_t colour;
        std::uint32_t value;
    };
    static constexpr std::uint32_t EmptySlot = 0xFFFFFFFFu;

    std::size_t SlotOf(std::uint32_t colour) const;
    void Grow();

    std::vector<Slot> m_slots;
    std::uint32_t m_shift = 0;
    std::vector<ColourCount> m_colours;
    // The last colour added and its index: neighbouring pixels often share their colour.
    std::uint32_t m_lastColour = EmptySlot;
    std::uint32_t m_lastIndex = 0;
};

struct QuantizeBox
{
    std::uint8_t min[3] = {0, 0, 0};
    std::uint8_t max[3] = {255, 255, 255};
    std::uint32_t colours = 0;
    std::uint32_t pixels = 0;
    // The box's run in the colour array.
    std::uint32_t first = 0;
};

// Cuts the cube. The colours are reordered so that every box owns a run of them.
class MedianCut
{
public:
    static constexpr std::size_t MaxBoxes = 256;

    MedianCut(std::vector<ColourCount>& colours, std::uint32_t pixels);
    void Run();
    std::span<const QuantizeBox> Boxes() const { return {m_boxes.data(), m_count}; }
    std::span<const ColourCount> ColoursOf(const QuantizeBox& box) const
    {
        return {m_colours.data() + box.first, box.colours};
    }
    // The pixel-count-weighted mean of a box's colours, rounded, as 0x00RRGGBB.
    std::uint32_t MeanColour(const QuantizeBox& box) const;

private:
    void Split(int depth, int retries, std::size_t box, int axis);
    bool CutAt(std::size_t box, int axis, std::uint32_t& cut, std::uint32_t& lowerPixels,
               std::uint32_t& lowerColours) const;
    void Divide(std::size_t box, int axis, std::uint32_t cut, std::uint32_t lowerPixels,
                std::uint32_t lowerColours);
    std::size_t ChooseBox() const;

    std::vector<ColourCount>& m_colours;
    std::array<QuantizeBox, MaxBoxes> m_boxes;
    std::size_t m_count = 0;
};

int LongestAxis(const QuantizeBox& box);

}  // namespace quantize
