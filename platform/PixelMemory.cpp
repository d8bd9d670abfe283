// Pixel memory: large blocks from regions of 2 MB with huge pages where the kernel gives them,
// small ones from the heap.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/Gdi.h"

#if defined(__SANITIZE_ADDRESS__)
#define FLOEMAZE_HEAP_PIXELS_ONLY 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FLOEMAZE_HEAP_PIXELS_ONLY 1
#endif
#endif

namespace platform {
namespace {

// Smaller blocks mostly lie in heap pages that are in use already.
constexpr std::size_t kLargeBytes = 64 * 1024;

#ifndef FLOEMAZE_HEAP_PIXELS_ONLY
constexpr std::size_t kRegionBytes = std::size_t{2} << 20;
constexpr std::size_t kBlockAlign = 64;

constexpr std::size_t RoundUp(std::size_t value, std::size_t step) {
    return (value + step - 1) / step * step;
}

// Blocks are handed out front to back and never handed out twice, so every block is memory the
// system has zeroed; a region is unmapped when its last block is released. Pictures live as long
// as the window, so little space is lost to blocks released in the middle of a region.
class Regions {
public:
    unsigned char* Allocate(std::size_t bytes) {
        const std::size_t need = RoundUp(bytes, kBlockAlign);
        const std::lock_guard lock(m_mutex);
        for (Region& region : m_regions) {
            if (region.size - region.used >= need) return Take(region, need);
        }
        const std::size_t size = RoundUp(need, kRegionBytes);
        unsigned char* base = MapAligned(size);
        if (base == nullptr) return nullptr;
        m_regions.push_back(Region{base, size, 0, 0});
        return Take(m_regions.back(), need);
    }

    // False when pixels is no block of a region.
    bool Release(unsigned char* pixels) {
        const std::lock_guard lock(m_mutex);
        const auto found = std::find_if(m_regions.begin(), m_regions.end(), [&](const Region& r) {
            return pixels >= r.base && pixels < r.base + r.size;
        });
        if (found == m_regions.end()) return false;
        if (--found->live == 0) {
            munmap(found->base, found->size);
            m_regions.erase(found);
        }
        return true;
    }

    std::size_t Bytes() {
        const std::lock_guard lock(m_mutex);
        std::size_t bytes = 0;
        for (const Region& region : m_regions) bytes += region.size;
        return bytes;
    }

private:
    struct Region {
        unsigned char* base;
        std::size_t size;
        std::size_t used;  // bytes handed out, from the front
        std::size_t live;  // blocks not yet released
    };

    static unsigned char* Take(Region& region, std::size_t need) {
        unsigned char* block = region.base + region.used;
        region.used += need;
        ++region.live;
        return block;
    }

    // size bytes at an address the kernel can back with huge pages: aligned to their size.
    static unsigned char* MapAligned(std::size_t size) {
        void* mapped = mmap(nullptr, size + kRegionBytes, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) return nullptr;
        auto* start = static_cast<unsigned char*>(mapped);
        const auto address = reinterpret_cast<std::uintptr_t>(start);
        unsigned char* base = start + (RoundUp(address, kRegionBytes) - address);
        if (base > start) munmap(start, static_cast<std::size_t>(base - start));
        unsigned char* end = start + size + kRegionBytes;
        if (end > base + size) munmap(base + size, static_cast<std::size_t>(end - (base + size)));
#ifdef MADV_HUGEPAGE
        // Only a wish: without huge pages the region is served in 4 KB pages as any other.
        madvise(base, size, MADV_HUGEPAGE);
#endif
        return base;
    }

    std::mutex m_mutex;
    std::vector<Region> m_regions;
};

// Never destroyed: pictures held by objects of static storage may be released after it would be.
Regions& TheRegions() {
    static auto* regions = new Regions;
    return *regions;
}

#endif

}  // namespace

void PixelRelease::operator()(unsigned char* pixels) const noexcept {
    if (pixels == nullptr) return;
#ifndef FLOEMAZE_HEAP_PIXELS_ONLY
    if (TheRegions().Release(pixels)) return;
#endif
    std::free(pixels);
}

void PrefaultPixels(void* pixels, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
    if (pixels == nullptr || bytes < kLargeBytes) return;
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto first = reinterpret_cast<std::uintptr_t>(pixels) & ~(page - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(pixels) + bytes;
    // Only a hint: an older kernel refuses it, and the pages then come one by one as before.
    madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
    (void)pixels;
    (void)bytes;
#endif
}

PixelMemory AllocatePixels(std::size_t bytes) {
    unsigned char* block = nullptr;
#ifndef FLOEMAZE_HEAP_PIXELS_ONLY
    if (bytes >= kLargeBytes) block = TheRegions().Allocate(bytes);
#endif
    if (block == nullptr) {
        block = static_cast<unsigned char*>(std::calloc(std::max<std::size_t>(bytes, 1), 1));
    }
    PixelMemory memory(block);
    PrefaultPixels(memory.get(), bytes);
    return memory;
}

std::size_t PixelRegionBytes() {
#ifndef FLOEMAZE_HEAP_PIXELS_ONLY
    return TheRegions().Bytes();
#else
    return 0;
#endif
}

}  // namespace platform
