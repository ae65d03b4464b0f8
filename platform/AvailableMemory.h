#pragma once
// How much memory the system can still give this program without swapping:
// Linux's own estimate (MemAvailable), else the free physical pages; nothing
// when neither can be read. And giving freed memory back.

#include <cstdint>
#include <optional>

namespace qel::platform {

std::optional<std::uint64_t> AvailableMemoryBytes();

// Gives the memory the program freed back to the system, where the allocator
// keeps it otherwise (glibc keeps freed heap pages, and after the first large
// block freed it stops giving large blocks pages of their own). Takes a few
// milliseconds on a large heap: for after large frees, not every edit.
void ReturnFreedMemory();

}  // namespace qel::platform
