#include "platform/AvailableMemory.h"

#include <unistd.h>

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

}  // namespace qel::platform
