// quizmora-img info FILE
// quizmora-img convert IN OUT [--resize WxH] [--smooth] [--comment TEXT]
// Exit status 0 on success, 1 with the library's message on stderr, 2 for a wrong command line.

#include "imaging/GraphicsException.h"
#include "imaging/GraphicsFile.h"
#include "imaging/GraphicsImage.h"
#include "support/Cp1252.h"
#include "tools/quizmora-img/ImageToolOptions.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// The library speaks Windows-1252; the terminal UTF-8.
int Fail(std::string_view message)
{
    const std::string text = Cp1252ToUtf8(message);
    std::fprintf(stderr, "%s\n", text.c_str());
    return kExitFailure;
}

int Load(const std::string& fileName, CGraphicsImage& image, std::string& comment)
{
    return LoadGraphicsFile(fileName, image, &comment);
}

int RunInfo(const ImageToolOptions& options)
{
    CGraphicsImage image;
    std::string comment;
    if (Load(options.input, image, comment) != 0)
        return Fail(LoadErrorText());
    std::printf("%ux%u %d\n", image.Width(), image.Height(), image.Bpp());
    if (!comment.empty())
        std::printf("comment: %s\n", Cp1252ToUtf8(comment).c_str());
    return 0;
}

// The scaled picture replaces the loaded one.
void Resize(CGraphicsImage& image, const ImageToolOptions& options)
{
    CGraphicsImage scaled;
    const std::uint32_t flags = options.smooth ? CGraphicsImage::ResampleSmooth : 0;
    if (!scaled.Resample(image, options.width, options.height, flags)) {
        if (scaled.ErrorCode() != 0)
            ThrowCreateError(scaled.ErrorCode());
        throw EGraphicsException(GraphicsText::InvalidImage);
    }
    image.Swap(scaled);
}

int RunConvert(const ImageToolOptions& options)
{
    CGraphicsImage image;
    std::string comment;
    if (Load(options.input, image, comment) != 0)
        return Fail(LoadErrorText());
    if (options.width != 0) {
        try {
            Resize(image, options);
        } catch (const EGraphicsException& error) {
            return Fail(error.Message());
        }
    }
    if (options.comment)
        comment = Utf8ToCp1252(*options.comment);
    if (SaveGraphicsFile(options.output, image, comment.empty() ? nullptr : comment.c_str()) != 0)
        return Fail(SaveErrorText());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const auto options = ParseImageToolOptions(arguments);
    if (!options) {
        std::fprintf(stderr, "%s\n", std::string(kImageToolUsage).c_str());
        return kExitUsage;
    }
    try {
        return options->command == ImageToolOptions::Command::Info ? RunInfo(*options) : RunConvert(*options);
    } catch (const EGraphicsException& error) {
        return Fail(error.Message());
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
}
