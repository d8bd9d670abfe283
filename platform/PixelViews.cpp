// SPDX-License-Identifier: GPL-3.0-or-later
// Pixel memory that views a picture file instead of holding a copy of it.
//
// A picture read into fresh memory costs the system a zeroed page for every 4 KB and then the
// copy; a view shares the pages the system already holds for the file. On virtual machines fresh
// pages are dear, and before the pictures were viewed they took much of the game's start. The
// view is private, so pixels drawn into such a picture never reach the file.
//
// A file that is shortened takes its lost pages away even from private views, and the next read
// of one would end the program with SIGBUS. This program shortens a file only through CFile,
// which first gives every view of it a copy of its own (DetachViews). For a file shortened by
// someone else, the bus-error handler below lays zeroed memory over the lost part of the view:
// the picture shows black there and the game goes on.

#include <atomic>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/File.h"
#include "platform/Gdi.h"

namespace platform {
namespace {

// Smaller pictures lie in heap pages that are in use already; a view would round them up to
// whole pages and cost a mapping each.
constexpr std::size_t kViewBytes = 64 * 1024;

// The views the bus-error handler may mend. The handler only reads begin and end; the rest is
// kept under the mutex. A full table means the next picture is read instead.
struct ViewSlot {
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    dev_t device = 0;  // the file viewed, while the view still shares its pages
    ino_t inode = 0;
    bool detached = false;
};
constexpr int kMaxViews = 64;
ViewSlot g_views[kMaxViews];
std::mutex g_viewsMutex;
struct sigaction g_previousBusAction {};
std::uintptr_t g_pageSize = 4096;

void OnBusError(int signal, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    // si_code > 0: raised by the kernel for an access, not sent by a process.
    for (const ViewSlot& view : g_views) {
        const std::uintptr_t begin = view.begin.load(std::memory_order_acquire);
        const std::uintptr_t end = view.end.load(std::memory_order_acquire);
        if (info->si_code <= 0 || begin == 0 || address < begin || address >= end) continue;
        // The file lost this page and most likely all after it: zeroes from here to the view's
        // end, and the access that faulted runs again on them.
        const std::uintptr_t page = address & ~(g_pageSize - 1);
        if (mmap(reinterpret_cast<void*>(page), end - page, PROT_READ | PROT_WRITE,
                 MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            return;
        }
        break;
    }
    // Not a view's page: what would have happened without this handler.
    if ((g_previousBusAction.sa_flags & SA_SIGINFO) != 0) {
        if (g_previousBusAction.sa_sigaction != nullptr) {
            g_previousBusAction.sa_sigaction(signal, info, context);
            return;
        }
    } else if (g_previousBusAction.sa_handler != SIG_DFL &&
               g_previousBusAction.sa_handler != SIG_IGN) {
        g_previousBusAction.sa_handler(signal);
        return;
    }
    // The signal stays blocked until this handler returns, and is then taken as before.
    sigaction(SIGBUS, &g_previousBusAction, nullptr);
    raise(signal);
}

bool InstallBusErrorHandler() {
    static const bool installed = [] {
        g_pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        return sigaction(SIGBUS, &action, &g_previousBusAction) == 0;
    }();
    return installed;
}

bool AddView(void* view, std::size_t bytes, const struct stat& file) {
    const std::lock_guard lock(g_viewsMutex);
    for (ViewSlot& slot : g_views) {
        if (slot.begin.load(std::memory_order_relaxed) != 0) continue;
        slot.device = file.st_dev;
        slot.inode = file.st_ino;
        slot.detached = false;
        const auto begin = reinterpret_cast<std::uintptr_t>(view);
        slot.end.store(begin + bytes, std::memory_order_release);
        slot.begin.store(begin, std::memory_order_release);
        return true;
    }
    return false;
}

void RemoveView(void* view) {
    const std::lock_guard lock(g_viewsMutex);
    for (ViewSlot& slot : g_views) {
        if (slot.begin.load(std::memory_order_relaxed) == reinterpret_cast<std::uintptr_t>(view)) {
            slot.begin.store(0, std::memory_order_release);
            slot.end.store(0, std::memory_order_release);
            return;
        }
    }
}

// Puts a copy of the view's bytes in its place, at the same address, in one step.
void Detach(ViewSlot& slot) {
    const std::uintptr_t begin = slot.begin.load(std::memory_order_relaxed);
    const std::size_t bytes = slot.end.load(std::memory_order_relaxed) - begin;
    void* copy = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (copy == MAP_FAILED) return;  // the bus-error handler remains
    std::memcpy(copy, reinterpret_cast<const void*>(begin), bytes);
    if (mremap(copy, bytes, bytes, MREMAP_MAYMOVE | MREMAP_FIXED, reinterpret_cast<void*>(begin)) ==
        MAP_FAILED) {
        munmap(copy, bytes);
        return;
    }
    slot.detached = true;
}

}  // namespace

void PixelRelease::operator()(unsigned char* pixels) const noexcept {
    if (viewBytes == 0) {
        std::free(pixels);
        return;
    }
    RemoveView(view);
    munmap(view, viewBytes);
}

PixelMemory MapPixels(const CFile& file, std::uint64_t offset, std::size_t bytes) {
    struct stat status {};
    if (file.GetDescriptor() < 0 || bytes < kViewBytes || bytes > kMaxBitmapBytes ||
        offset > kMaxBitmapBytes || fstat(file.GetDescriptor(), &status) != 0 ||
        !S_ISREG(status.st_mode) || !InstallBusErrorHandler()) {
        return {};
    }
    const std::size_t viewBytes =
        (static_cast<std::size_t>(offset) + bytes + g_pageSize - 1) & ~(g_pageSize - 1);
    void* view =
        mmap(nullptr, viewBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE, file.GetDescriptor(), 0);
    if (view == MAP_FAILED) return {};
    if (!AddView(view, viewBytes, status)) {
        munmap(view, viewBytes);
        return {};
    }
#ifdef MADV_POPULATE_READ
    // Only a hint: all pages at once rather than a fault each; shared, not copied.
    madvise(view, viewBytes, MADV_POPULATE_READ);
#endif
    return PixelMemory(static_cast<unsigned char*>(view) + offset, PixelRelease{view, viewBytes});
}

void DetachViews(int fd) {
    struct stat status {};
    if (fd < 0 || fstat(fd, &status) != 0) return;
    const std::lock_guard lock(g_viewsMutex);
    for (ViewSlot& slot : g_views) {
        if (slot.begin.load(std::memory_order_relaxed) != 0 && !slot.detached &&
            slot.device == status.st_dev && slot.inode == status.st_ino) {
            Detach(slot);
        }
    }
}

}  // namespace platform
