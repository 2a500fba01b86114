// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "toolkit/PixelHeap.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <mutex>
#include <new>
#include <sys/mman.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define VELMIA_PIXEL_HEAP 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMIA_PIXEL_HEAP 0
#endif
#endif
#ifndef VELMIA_PIXEL_HEAP
#define VELMIA_PIXEL_HEAP 1
#endif

namespace vcl {

namespace {

constexpr size_t kPage = 4096;
constexpr size_t kHugePage = size_t(2) << 20;
// Buffers smaller than this use the ordinary heap.
constexpr size_t kSmallest = size_t(64) << 10;
// Address space reserved at a time; only the pages written take memory.
constexpr size_t kAreaBytes = size_t(64) << 20;

size_t RoundUp(size_t n, size_t to)
{
    return (n + to - 1) / to * to;
}

// One reserved stretch of address space and its free extents (offset ->
// length), kept merged and in address order.
struct Area {
    char* base;
    size_t size;
    std::map<size_t, size_t> free;
};

class Heap {
public:
    void* Allocate(size_t bytes)
    {
        const size_t need = RoundUp(bytes, kPage);
        std::lock_guard lock(mutex_);
        for (Area& a : areas_)
            if (void* p = Take(a, need))
                return p;
        if (!Reserve(std::max(kAreaBytes, RoundUp(need, kHugePage))))
            return nullptr;
        return Take(areas_.back(), need);
    }

    // False when `p` is not from an area.
    bool Free(void* p, size_t bytes)
    {
        const size_t length = RoundUp(bytes, kPage);
        std::lock_guard lock(mutex_);
        for (Area& a : areas_) {
            char* c = static_cast<char*>(p);
            if (c < a.base || c >= a.base + a.size)
                continue;
            Give(a, size_t(c - a.base), length);
            return true;
        }
        return false;
    }

    void Release()
    {
        std::lock_guard lock(mutex_);
        // From now on small pages: the kernel's background merging into huge
        // pages would make the released pages resident again.
        hugePages_ = false;
        for (Area& a : areas_) {
            madvise(a.base, a.size, MADV_NOHUGEPAGE);
            for (const auto& [offset, length] : a.free)
                madvise(a.base + offset, length, MADV_DONTNEED);
        }
    }

    size_t Reserved()
    {
        std::lock_guard lock(mutex_);
        size_t reserved = 0;
        for (const Area& a : areas_)
            reserved += a.size;
        return reserved;
    }

private:
    bool Reserve(size_t size)
    {
        // Reserve a huge page more, so that the area can start on a huge page.
        void* raw =
            mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (raw == MAP_FAILED)
            return false;
        char* start = static_cast<char*>(raw);
        char* base = reinterpret_cast<char*>(RoundUp(reinterpret_cast<size_t>(start), kHugePage));
        if (base > start)
            munmap(start, size_t(base - start));
        if (char* end = base + size; end < start + size + kHugePage)
            munmap(end, size_t(start + size + kHugePage - end));
        if (hugePages_)
            madvise(base, size, MADV_HUGEPAGE); // a hint: without it the pages are small
        areas_.push_back(Area{base, size, {{0, size}}});
        return true;
    }

    // The lowest free extent of `a` long enough, or null.
    void* Take(Area& a, size_t need)
    {
        for (auto it = a.free.begin(); it != a.free.end(); ++it) {
            if (it->second < need)
                continue;
            const size_t offset = it->first, rest = it->second - need;
            a.free.erase(it);
            if (rest > 0)
                a.free.emplace(offset + need, rest);
            return a.base + offset;
        }
        return nullptr;
    }

    void Give(Area& a, size_t offset, size_t length)
    {
        auto next = a.free.lower_bound(offset);
        if (next != a.free.end() && offset + length == next->first) {
            length += next->second;
            next = a.free.erase(next);
        }
        if (next != a.free.begin()) {
            const auto prev = std::prev(next);
            if (prev->first + prev->second == offset) {
                prev->second += length;
                return;
            }
        }
        a.free.emplace_hint(next, offset, length);
    }

    std::mutex mutex_;
    std::vector<Area> areas_;
    bool hugePages_ = true;
};

Heap& TheHeap()
{
    static Heap* heap = new Heap(); // lives as long as any buffer may
    return *heap;
}

} // namespace

void* AllocatePixels(size_t bytes)
{
    if (VELMIA_PIXEL_HEAP && bytes >= kSmallest)
        if (void* p = TheHeap().Allocate(bytes))
            return p;
    return ::operator new(bytes);
}

void FreePixels(void* p, size_t bytes) noexcept
{
    if (!p)
        return;
    if (VELMIA_PIXEL_HEAP && bytes >= kSmallest && TheHeap().Free(p, bytes))
        return;
    ::operator delete(p);
}

void ReleaseFreePixelPages() noexcept
{
    if (VELMIA_PIXEL_HEAP)
        TheHeap().Release();
}

size_t PixelHeapReserved() noexcept
{
    return VELMIA_PIXEL_HEAP ? TheHeap().Reserved() : 0;
}

} // namespace vcl
