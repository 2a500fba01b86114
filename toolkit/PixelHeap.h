// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Where large pixel buffers live. A new buffer's first write makes the kernel
// supply its pages one fault at a time, and a picture of 800 x 300 is some
// 180 of them; a large buffer instead comes from reserved address space
// marked for 2 MiB pages, and buffers freed are reused in place. Small
// buffers, and every buffer in builds with AddressSanitizer (which must see
// each one on its own), use the ordinary heap.
#pragma once

#include <cstddef>

namespace vcl {

// Storage for `bytes` bytes, aligned as operator new aligns; the contents are
// unspecified.
void* AllocatePixels(size_t bytes);
// Gives back storage from AllocatePixels with the same size.
void FreePixels(void* p, size_t bytes) noexcept;
// Returns the pages of freed pixel storage to the system (they read as zero
// when reused); the storage itself stays reserved for later buffers. Buffers
// made after this use small pages: a program calls it when its start-up,
// which makes most of its pictures, is over.
void ReleaseFreePixelPages() noexcept;

// The address space the pixel heap has reserved, in bytes.
size_t PixelHeapReserved() noexcept;

} // namespace vcl
