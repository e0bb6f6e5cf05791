#pragma once
// Clipping of drawing rectangles against an image (internal to the imaging library).

#include <algorithm>
#include <cstdint>

struct ClippedSpan
{
    std::uint32_t target = 0;  // first target coordinate
    std::uint32_t source = 0;  // source coordinate drawn there
    std::uint32_t length = 0;
};

// Places a source of `length` at `position` on a target axis of `targetLength`. Computed in
// 64 bits so that extreme positions cannot wrap.
inline bool ClipSpan(std::int64_t position, std::int64_t length, std::int64_t targetLength, ClippedSpan& span)
{
    std::int64_t start = position;
    std::int64_t end = position + length;
    const std::int64_t skipped = start < 0 ? -start : 0;
    start = std::max<std::int64_t>(start, 0);
    end = std::min(end, targetLength);
    if (end <= start)
        return false;
    span.target = std::uint32_t(start);
    span.source = std::uint32_t(skipped);
    span.length = std::uint32_t(end - start);
    return true;
}
