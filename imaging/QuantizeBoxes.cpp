#include "imaging/QuantizeBoxes.h"

#include "imaging/GraphicsException.h"

#include <algorithm>

namespace quantize {

namespace {

constexpr std::uint32_t InitialSlotBits = 12;
constexpr int Red = 2;

std::uint64_t Square(std::uint32_t value)
{
    return std::uint64_t{value} * value;
}

std::uint32_t Range(const QuantizeBox& box, int axis)
{
    return std::uint32_t{box.max[axis]} - box.min[axis];
}

// Boxes holding many colours along blue weigh more: only the blue term counts the colours.
std::uint64_t Score(const QuantizeBox& box)
{
    return box.colours * Square(Range(box, 0)) + Square(Range(box, 1)) + Square(Range(box, 2));
}

}  // namespace

ColourHistogram::ColourHistogram()
    : m_slots(std::size_t{1} << InitialSlotBits, Slot{EmptySlot, 0}), m_shift(32 - InitialSlotBits)
{
}

std::size_t ColourHistogram::SlotOf(std::uint32_t colour) const
{
    const std::size_t mask = m_slots.size() - 1;
    std::size_t slot = (colour * 0x9E3779B1u) >> m_shift;
    while (m_slots[slot].colour != colour && m_slots[slot].colour != EmptySlot)
        slot = (slot + 1) & mask;
    return slot;
}

void ColourHistogram::Grow()
{
    std::vector<Slot> old(m_slots.size() * 2, Slot{EmptySlot, 0});
    old.swap(m_slots);
    --m_shift;
    for (const Slot& entry : old)
        if (entry.colour != EmptySlot)
            m_slots[SlotOf(entry.colour)] = entry;
}

void ColourHistogram::Add(std::uint32_t colour)
{
    if (colour != m_lastColour) {
        const std::size_t slot = SlotOf(colour);
        if (m_slots[slot].colour == EmptySlot) {
            m_slots[slot] = Slot{colour, static_cast<std::uint32_t>(m_colours.size())};
            m_colours.push_back(ColourCount{colour, 0});
            m_lastIndex = m_slots[slot].value;
            if (m_colours.size() * 2 > m_slots.size())
                Grow();
        } else {
            m_lastIndex = m_slots[slot].value;
        }
        m_lastColour = colour;
    }
    ++m_colours[m_lastIndex].count;
}

std::uint32_t ColourHistogram::ValueOf(std::uint32_t colour) const
{
    return m_slots[SlotOf(colour)].value;
}

void ColourHistogram::SetValue(std::uint32_t colour, std::uint32_t value)
{
    m_slots[SlotOf(colour)].value = value;
}

int LongestAxis(const QuantizeBox& box)
{
    const std::uint32_t blue = Range(box, 0);
    const std::uint32_t green = Range(box, 1);
    const std::uint32_t red = Range(box, 2);
    if (red >= blue && red >= green)
        return 2;
    if (blue >= red && blue >= green)
        return 0;
    return 1;
}

MedianCut::MedianCut(std::vector<ColourCount>& colours, std::uint32_t pixels) : m_colours(colours)
{
    m_boxes[0].colours = static_cast<std::uint32_t>(colours.size());
    m_boxes[0].pixels = pixels;
    m_count = 1;
}

void MedianCut::Run()
{
    // Eight levels of halving first, then the box with the highest score is cut, one at a time.
    Split(7, 0, 0, Red);
    while (m_count < MaxBoxes) {
        const std::size_t winner = ChooseBox();
        if (m_boxes[winner].colours <= 1)
            break;
        const std::size_t before = m_count;
        Split(0, 0, winner, LongestAxis(m_boxes[winner]));
        if (m_count == before)
            break;
    }
}

std::size_t MedianCut::ChooseBox() const
{
    std::size_t best = 0;
    std::uint64_t bestScore = Score(m_boxes[0]);
    for (std::size_t i = 1; i < m_count; ++i) {
        if (m_boxes[i].colours <= 1)
            continue;
        const std::uint64_t score = Score(m_boxes[i]);
        if (score > bestScore) {
            best = i;
            bestScore = score;
        }
    }
    return best;
}

void MedianCut::Split(int depth, int retries, std::size_t box, int axis)
{
    for (;;) {
        if (m_boxes[box].colours <= 1)
            return;
        std::uint32_t cut = 0;
        std::uint32_t lowerPixels = 0;
        std::uint32_t lowerColours = 0;
        const bool flat = m_boxes[box].min[axis] == m_boxes[box].max[axis] ||
                          !CutAt(box, axis, cut, lowerPixels, lowerColours);
        if (flat) {
            // Every colour shares its value on this axis: try the next axis, at most twice.
            if (retries > 1)
                return;
            ++retries;
            axis = (axis + 1) % 3;
            continue;
        }
        Divide(box, axis, cut, lowerPixels, lowerColours);
        if (depth == 0)
            return;
        --depth;
        const std::size_t upper = m_count - 1;
        Split(depth, 0, upper, LongestAxis(m_boxes[upper]));
        retries = 0;
        axis = LongestAxis(m_boxes[box]);
    }
}

// The median on one axis: the first value at which the pixels up to it reach half the box's
// pixels. When that value would take every pixel, it goes to the upper part instead. False when
// the box is flat on the axis.
bool MedianCut::CutAt(std::size_t index, int axis, std::uint32_t& cut, std::uint32_t& lowerPixels,
                      std::uint32_t& lowerColours) const
{
    const QuantizeBox& box = m_boxes[index];
    std::uint32_t pixelsAt[256] = {};
    std::uint32_t coloursAt[256] = {};
    for (const ColourCount& entry : ColoursOf(box)) {
        const std::uint32_t value = AxisValue(entry.colour, axis);
        pixelsAt[value] += entry.count;
        ++coloursAt[value];
    }
    const std::uint32_t half = box.pixels / 2;
    lowerPixels = 0;
    lowerColours = 0;
    for (std::uint32_t v = box.min[axis]; v <= box.max[axis]; ++v) {
        if (coloursAt[v] == box.colours)
            return false;
        if (coloursAt[v] > box.colours)
            throw EGraphicsException("INTERNAL ERROR - Quantization area color count invalid");
        if (lowerPixels + pixelsAt[v] >= half) {
            if (lowerPixels + pixelsAt[v] == box.pixels) {
                cut = v - 1;
            } else {
                cut = v;
                lowerPixels += pixelsAt[v];
                lowerColours += coloursAt[v];
            }
            return true;
        }
        lowerPixels += pixelsAt[v];
        lowerColours += coloursAt[v];
    }
    throw EGraphicsException("INTERNAL ERROR - Quantization uArea pixel count invalid");
}

void MedianCut::Divide(std::size_t index, int axis, std::uint32_t cut, std::uint32_t lowerPixels,
                       std::uint32_t lowerColours)
{
    QuantizeBox& box = m_boxes[index];
    const auto run = m_colours.begin() + box.first;
    std::partition(run, run + box.colours,
                   [&](const ColourCount& entry) { return AxisValue(entry.colour, axis) <= cut; });
    QuantizeBox& upper = m_boxes[m_count++];
    upper = box;
    upper.min[axis] = static_cast<std::uint8_t>(cut + 1);
    upper.pixels = box.pixels - lowerPixels;
    upper.colours = box.colours - lowerColours;
    upper.first = box.first + lowerColours;
    box.max[axis] = static_cast<std::uint8_t>(cut);
    box.pixels = lowerPixels;
    box.colours = lowerColours;
}

std::uint32_t MedianCut::MeanColour(const QuantizeBox& box) const
{
    std::uint64_t pixels = 0;
    std::uint64_t sum[3] = {0, 0, 0};
    for (const ColourCount& entry : ColoursOf(box)) {
        pixels += entry.count;
        for (int axis = 0; axis < 3; ++axis)
            sum[axis] += std::uint64_t{AxisValue(entry.colour, axis)} * entry.count;
    }
    std::uint32_t colour = 0;
    if (pixels == 0)
        return colour;
    for (int axis = 0; axis < 3; ++axis)
        colour |= static_cast<std::uint32_t>((sum[axis] + pixels / 2) / pixels) << (8 * axis);
    return colour;
}

}  // namespace quantize
