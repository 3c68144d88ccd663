#pragma once

// The engine's target buffer: 4 bytes per pixel, rows packed without padding, held only for
// the duration of one effect call.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vexa::effects {

class PixelBuffer {
public:
    // Nothing when the picture is too large to hold: its size does not fit in memory
    // addresses, exceeds the machine's physical memory, or the allocation fails.
    static std::unique_ptr<PixelBuffer> tryCreate(int width, int height);

    ~PixelBuffer();
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    std::uint8_t* data() const { return data_; }
    std::ptrdiff_t stride() const { return stride_; }

private:
    PixelBuffer(std::uint8_t* data, std::ptrdiff_t stride) : data_(data), stride_(stride) {}

    std::uint8_t* data_;
    std::ptrdiff_t stride_;
};

// Stores the number of bytes of a packed picture in `bytes`; false when the size is
// negative or does not fit in a size_t.
bool packedSize(int width, int height, std::size_t& bytes);

} // namespace vexa::effects
