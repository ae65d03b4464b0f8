#include "platform/AvailableMemory.h"

#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <fstream>
#include <string>

namespace qel::platform {

std::optional<std::uint64_t> AvailableMemoryBytes()
{
    std::ifstream info("/proc/meminfo");
    std::string line;
    const std::string key = "MemAvailable:";
    while (std::getline(info, line))
        if (line.rfind(key, 0) == 0)
            return std::stoull(line.substr(key.size())) * 1024;  // in kB
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
    return std::nullopt;
}

void ReturnFreedMemory()
{
#if defined(__GLIBC__)
    // Blocks of 128 KiB and more keep pages of their own, returned when
    // freed: the threshold glibc would otherwise raise to 32 MiB after the
    // first such free, leaving a freed saved list in the heap.
    static const bool fixed = mallopt(M_MMAP_THRESHOLD, 128 * 1024) != 0;
    (void)fixed;
    malloc_trim(0);
#endif
}

}  // namespace qel::platform
