#pragma once
// How much memory the system can still give this program without swapping:
// Linux's own estimate (MemAvailable), else the free physical pages; nothing
// when neither can be read.

#include <cstdint>
#include <optional>

namespace qel::platform {

std::optional<std::uint64_t> AvailableMemoryBytes();

}  // namespace qel::platform
