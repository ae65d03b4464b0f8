#pragma once
// A buffer of file bytes that the document's lines may keep views into.

#include <cstddef>
#include <memory>
#include <string_view>

namespace qel {

// The bytes of a whole file, shared by whatever keeps views into them.
struct FileBytes {
    std::shared_ptr<const char[]> data;
    std::size_t size = 0;
    // The system error that stopped reading after `size` bytes; 0 when the
    // whole file was read.
    int readError = 0;
    std::string_view view() const { return {data.get(), size}; }
};

}  // namespace qel
