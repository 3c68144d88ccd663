#include "effects/PixelBuffer.h"

#include <cstdlib>
#include <new>

#include <sys/mman.h>
#include <unistd.h>

namespace vexa::effects {

namespace {

// Large buffers are aligned to and sized in 2 MB so the kernel can back them with huge
// pages: touching a fresh 96 MB buffer page by page costs more than copying it.
constexpr std::size_t kHugePage = std::size_t(2) << 20;

std::size_t physicalMemory() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return SIZE_MAX;
    return static_cast<std::size_t>(pages) * static_cast<std::size_t>(pageSize);
}

} // namespace

bool packedSize(int width, int height, std::size_t& bytes) {
    if (width < 0 || height < 0) return false;
    std::size_t pixels = 0;
    if (__builtin_mul_overflow(static_cast<std::size_t>(width), static_cast<std::size_t>(height),
                               &pixels))
        return false;
    return !__builtin_mul_overflow(pixels, std::size_t(4), &bytes);
}

std::unique_ptr<PixelBuffer> PixelBuffer::tryCreate(int width, int height) {
    std::size_t bytes = 0;
    if (!packedSize(width, height, bytes)) return nullptr;
    // Linux hands out address space it may not be able to back; a buffer larger than the
    // machine's memory would only be killed later, so it is refused here.
    if (bytes > physicalMemory()) return nullptr;
    if (bytes == 0) bytes = 4;
    void* memory = nullptr;
    if (bytes >= kHugePage) {
        bytes = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        memory = std::aligned_alloc(kHugePage, bytes);
        if (memory) madvise(memory, bytes, MADV_HUGEPAGE); // only a hint
    } else {
        memory = std::malloc(bytes);
    }
    if (!memory) return nullptr;
    auto* buffer = new (std::nothrow) PixelBuffer(static_cast<std::uint8_t*>(memory),
                                                  static_cast<std::ptrdiff_t>(width) * 4, bytes);
    if (!buffer) std::free(memory);
    return std::unique_ptr<PixelBuffer>(buffer);
}

bool PixelBuffer::reshape(int width, int height) {
    std::size_t bytes = 0;
    if (!packedSize(width, height, bytes) || bytes > capacity_) return false;
    stride_ = static_cast<std::ptrdiff_t>(width) * 4;
    return true;
}

void PixelBuffer::release() {
    // Only the large buffers, which come straight from the system in whole huge pages.
    if (capacity_ >= kHugePage) madvise(data_, capacity_, MADV_FREE);
}

PixelBuffer::~PixelBuffer() {
    std::free(data_);
}

} // namespace vexa::effects
