#include "core/RowChunks.h"

#include <atomic>
#include <cstdlib>
#include <string>

namespace qel {

namespace {

std::size_t PowerOfTwoAtLeast(std::size_t rows)
{
    std::size_t size = 4;
    while (size < rows && size < (std::size_t{1} << 30))
        size *= 2;
    return size;
}

std::atomic<std::size_t>& ChunkRows()
{
    // A few thousand rows: a chunk of fields is about 100 KiB, moved in
    // microseconds, and ten million rows need a few thousand chunks.
    static std::atomic<std::size_t> rows = [] {
        const char* text = std::getenv("QEL_ROW_CHUNK");
        std::size_t wanted = 4096;
        if (text != nullptr && *text != '\0') {
            try {
                wanted = static_cast<std::size_t>(std::stoul(text));
            } catch (const std::exception&) {
                // Not a number: the default stands.
            }
        }
        return PowerOfTwoAtLeast(wanted);
    }();
    return rows;
}

}  // namespace

std::size_t RowChunkSize()
{
    return ChunkRows().load(std::memory_order_relaxed);
}

void SetRowChunkSize(std::size_t rows)
{
    ChunkRows().store(PowerOfTwoAtLeast(rows), std::memory_order_relaxed);
}

}  // namespace qel
