#pragma once

// A buffer of 4 bytes per pixel, rows packed without padding: the engine's copy of the rows an
// effect has written, and a copy of a picture the QImage adapter hands to the engine.

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
    std::size_t capacity() const { return capacity_; } // bytes

    // Whether the buffer can hold a picture of this size; if so, takes its rows' stride.
    bool reshape(int width, int height);

    // Tells the system it may take the memory back whenever it needs it; until it does, the
    // buffer is used again without the cost of fresh pages. The contents are then undefined.
    void release();

private:
    PixelBuffer(std::uint8_t* data, std::ptrdiff_t stride, std::size_t capacity)
        : data_(data), stride_(stride), capacity_(capacity) {}

    std::uint8_t* data_;
    std::ptrdiff_t stride_;
    std::size_t capacity_; // bytes
};

// Stores the number of bytes of a packed picture in `bytes`; false when the size is
// negative or does not fit in a size_t.
bool packedSize(int width, int height, std::size_t& bytes);

} // namespace vexa::effects
