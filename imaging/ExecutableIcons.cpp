#include "imaging/ExecutableIcons.h"

#include "imaging/GraphicsException.h"
#include "imaging/IconSource.h"

namespace {

constexpr std::uint64_t kNewHeaderPointer = 0x3C;
// The new header cannot start inside the DOS header fields it is found through.
constexpr std::uint32_t kLowestNewHeader = 0x39;

}  // namespace

std::unique_ptr<CExecutableIcons> OpenExecutableIcons(CIconSource& source)
{
    const std::uint32_t headerOffset = source.U32At(kNewHeaderPointer, GraphicsText::Icon::OpenFailed);
    if (headerOffset < kLowestNewHeader || !source.Contains(headerOffset, 4))
        throw EIconError(GraphicsText::Icon::IconNotFound);
    const std::vector<std::uint8_t> signature = source.ReadAt(headerOffset, 4, GraphicsText::Icon::IconNotFound);
    if (signature[0] == 'P' && signature[1] == 'E' && signature[2] == 0 && signature[3] == 0)
        return OpenPeIcons(source, headerOffset);
    if (signature[0] == 'N' && signature[1] == 'E')
        return OpenNeIcons(source, headerOffset);
    throw EIconError(GraphicsText::Icon::IconNotFound);
}
