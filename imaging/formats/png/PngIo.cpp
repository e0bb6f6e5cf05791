#include "imaging/formats/png/PngIo.h"

#include "imaging/GraphicsException.h"
#include "support/DataStream.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

PngIoState& StateOf(png_structp png)
{
    return *static_cast<PngIoState*>(png_get_io_ptr(png));
}

// Bounds of what libpng may keep in memory for a file's side chunks. The picture itself is
// bounded by the image size limit and by the data the file holds (see the reader).
constexpr png_alloc_size_t kChunkMallocMax = 8u << 20;
constexpr png_uint_32 kChunkCacheMax = 256;
// libpng asks for a chunk's whole length before it reads the chunk, whatever the file holds; no
// buffer it needs for a picture of at most 32768 pixels per row comes near this.
constexpr png_alloc_size_t kLargestAllocation = 16u << 20;

png_voidp PngAllocate(png_structp, png_alloc_size_t size)
{
    return size <= kLargestAllocation ? std::malloc(size) : nullptr;
}

void PngFree(png_structp, png_voidp block)
{
    std::free(block);
}

}  // namespace

void PngOnError(png_structp png, png_const_charp message)
{
    auto* state = static_cast<PngIoState*>(png_get_error_ptr(png));
    if (state != nullptr) {
        const char* text = message != nullptr ? message : GraphicsText::InternalError;
        std::strncpy(state->message, text, PngIoState::MaxMessageLength);
        state->message[PngIoState::MaxMessageLength] = '\0';
    }
    png_longjmp(png, 1);
}

void PngOnWarning(png_structp, png_const_charp) {}

void PngReadBytes(png_structp png, png_bytep data, std::size_t length)
{
    CDataStream* stream = StateOf(png).stream;
    if (length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) ||
        stream->Read(data, static_cast<std::int32_t>(length)) != static_cast<std::int32_t>(length))
        png_error(png, GraphicsText::ReadFailed);
}

void PngWriteBytes(png_structp png, png_bytep data, std::size_t length)
{
    CDataStream* stream = StateOf(png).stream;
    if (length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) ||
        stream->Write(data, static_cast<std::int32_t>(length)) != static_cast<std::int32_t>(length))
        png_error(png, GraphicsText::WriteFailed);
}

void PngFlushNothing(png_structp) {}

CPngReadStructs::CPngReadStructs(PngIoState& state)
{
    m_png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &state, PngOnError, PngOnWarning, nullptr,
                                     PngAllocate, PngFree);
    if (m_png == nullptr)
        throw EGraphicsException(GraphicsText::InternalError);
    m_info = png_create_info_struct(m_png);
    if (m_info == nullptr) {
        png_destroy_read_struct(&m_png, nullptr, nullptr);
        throw EGraphicsException(GraphicsText::OutOfMemory);
    }
    png_set_read_fn(m_png, &state, PngReadBytes);
    // The 32768 limit of the image is checked by the reader with its own error; libpng's limit only
    // has to stay out of the way of it.
    png_set_user_limits(m_png, 0x7FFFFFFF, 0x7FFFFFFF);
    png_set_chunk_malloc_max(m_png, kChunkMallocMax);
    png_set_chunk_cache_max(m_png, kChunkCacheMax);
}

CPngReadStructs::~CPngReadStructs()
{
    png_destroy_read_struct(&m_png, &m_info, nullptr);
}

CPngWriteStructs::CPngWriteStructs(PngIoState& state)
{
    m_png = png_create_write_struct_2(PNG_LIBPNG_VER_STRING, &state, PngOnError, PngOnWarning, nullptr,
                                      PngAllocate, PngFree);
    if (m_png == nullptr)
        throw EGraphicsException(GraphicsText::InternalError);
    m_info = png_create_info_struct(m_png);
    if (m_info == nullptr) {
        png_destroy_write_struct(&m_png, nullptr);
        throw EGraphicsException(GraphicsText::InternalError);
    }
    png_set_write_fn(m_png, &state, PngWriteBytes, PngFlushNothing);
}

CPngWriteStructs::~CPngWriteStructs()
{
    png_destroy_write_struct(&m_png, &m_info);
}
