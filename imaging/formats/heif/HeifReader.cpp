#include "imaging/formats/heif/HeifReader.h"

#include "imaging/DecoderSupport.h"
#include "imaging/GraphicsImage.h"
#include "imaging/formats/heif/HeifErrors.h"

#include <libheif/heif.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr int kPercentDecoded = 80;
constexpr std::uint32_t kRowsPerReport = 256;

struct ContextDeleter
{
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleDeleter
{
    void operator()(const heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageDeleter
{
    void operator()(const heif_image* image) const { heif_image_release(image); }
};
struct OptionsDeleter
{
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};

void Check(const heif_error& error)
{
    switch (error.code) {
    case heif_error_Ok:
        return;
    case heif_error_Unsupported_filetype:
        throw EHeifNotAHeifFile();
    case heif_error_Invalid_input:
        if (error.subcode == heif_suberror_No_ftyp_box)
            throw EHeifNotAHeifFile();
        if (error.subcode == heif_suberror_End_of_data)
            throw EHeifFileReadError();
        throw EHeifCorruptFile();
    case heif_error_Unsupported_feature:
        throw EHeifNotSupported();
    case heif_error_Memory_allocation_error:
        if (error.subcode == heif_suberror_Security_limit_exceeded)
            throw EGraphicsPicSize();
        throw EGraphicsMemory();
    case heif_error_Decoder_plugin_error:
        throw EHeifCorruptFile();
    default:
        throw EHeifUnknownError();
    }
}

// A failure of a file whose last box is cut off is the end of the file coming too early.
void Check(const heif_error& error, const std::vector<std::uint8_t>& file)
{
    if (error.code != heif_error_Ok && BoxesReachPastEnd(file))
        throw EHeifFileReadError();
    Check(error);
}

// What libheif's progress functions see while it decodes. libheif cannot be interrupted: a stop
// asked for on the way ends the reading once it returns.
struct Progress
{
    const CGraphicsCodecInfo* info = nullptr;
    int total = 0;
    bool stop = false;
};

void StartProgress(heif_progress_step, int total, void* data)
{
    static_cast<Progress*>(data)->total = total;
}

void OnProgress(heif_progress_step, int done, void* data)
{
    auto& progress = *static_cast<Progress*>(data);
    if (progress.total > 0 && !progress.stop)
        progress.stop = progress.info->ProgressAsksToStop(std::clamp(done, 0, progress.total) * kPercentDecoded /
                                                          progress.total);
}

void EndProgress(heif_progress_step, void*) {}

// libheif's R, G, B (A) rows into the image's B, G, R (A) rows.
template <std::size_t PixelBytes>
void CopyPixels(const std::uint8_t* source, int sourceStride, CGraphicsImage& image, const CGraphicsCodecInfo& info)
{
    const std::uint32_t width = image.Width(), height = image.Height();
    for (std::uint32_t y = 0; y < height; ++y, source += sourceStride) {
        if (y % kRowsPerReport == 0)
            info.ReportProgress(kPercentDecoded + static_cast<int>(std::uint64_t{y} * (100 - kPercentDecoded) / height));
        std::uint8_t* target = image.Row(y);
        const std::uint8_t* from = source;
        for (std::uint32_t x = 0; x < width; ++x, from += PixelBytes, target += PixelBytes) {
            target[0] = from[2];
            target[1] = from[1];
            target[2] = from[0];
            if constexpr (PixelBytes == 4)
                target[3] = from[3];
        }
    }
}

}  // namespace

void CHeifReader::ThrowOpenError() const
{
    throw EHeifFileOpenError();
}

void CHeifReader::Read(CDataStream& stream, CGraphicsImage& image)
{
    std::vector<std::uint8_t> file;
    if (!ReadStreamContents(stream, file))
        throw EHeifFileReadError();
    Info().ReportProgress(0);

    const std::unique_ptr<heif_context, ContextDeleter> context(heif_context_alloc());
    if (context == nullptr)
        throw EGraphicsMemory();
    // libheif refuses sides from its limit on; ours is the largest side an image may have.
    heif_context_set_maximum_image_size_limit(context.get(), static_cast<int>(CGraphicsImage::MaxDimension) + 1);
    Check(heif_context_read_from_memory_without_copy(context.get(), file.data(), file.size(), nullptr), file);

    heif_image_handle* primary = nullptr;
    Check(heif_context_get_primary_image_handle(context.get(), &primary), file);
    const std::unique_ptr<const heif_image_handle, HandleDeleter> handle(primary);
    // The stored size and the size once turned, before anything of the picture is allocated.
    const int width = heif_image_handle_get_width(handle.get());
    const int height = heif_image_handle_get_height(handle.get());
    if (width <= 0 || height <= 0)
        throw EHeifCorruptFile();
    CheckPictureSize(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height));
    CheckPictureSize(static_cast<std::uint64_t>(std::max(heif_image_handle_get_ispe_width(handle.get()), 0)),
                     static_cast<std::uint64_t>(std::max(heif_image_handle_get_ispe_height(handle.get()), 0)));
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;

    const std::unique_ptr<heif_decoding_options, OptionsDeleter> options(heif_decoding_options_alloc());
    if (options == nullptr)
        throw EGraphicsMemory();
    Progress progress{&Info()};
    options->ignore_transformations = 0;
    options->convert_hdr_to_8bit = 1;
    options->start_progress = StartProgress;
    options->on_progress = OnProgress;
    options->end_progress = EndProgress;
    options->progress_user_data = &progress;
    heif_image* decodedImage = nullptr;
    const heif_error decodeError =
        heif_decode_image(handle.get(), &decodedImage, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get());
    const std::unique_ptr<const heif_image, ImageDeleter> decoded(decodedImage);
    if (progress.stop)
        throw EGraphicsAbort();
    Check(decodeError, file);

    int stride = 0;
    const std::uint8_t* pixels = heif_image_get_plane_readonly(decoded.get(), heif_channel_interleaved, &stride);
    const int decodedWidth = heif_image_get_width(decoded.get(), heif_channel_interleaved);
    const int decodedHeight = heif_image_get_height(decoded.get(), heif_channel_interleaved);
    const int pixelBytes = alpha ? 4 : 3;
    if (pixels == nullptr || decodedWidth <= 0 || decodedHeight <= 0 || stride < decodedWidth * pixelBytes ||
        heif_image_get_bits_per_pixel_range(decoded.get(), heif_channel_interleaved) != 8)
        throw EHeifCorruptFile();
    image.CreateOrThrow(alpha ? 32 : 24, static_cast<std::uint32_t>(decodedWidth),
                        static_cast<std::uint32_t>(decodedHeight), CGraphicsImage::NoFill);
    if (alpha)
        CopyPixels<4>(pixels, stride, image, Info());
    else
        CopyPixels<3>(pixels, stride, image, Info());
    static_cast<void>(Info().ProgressAsksToStop(100));
}
