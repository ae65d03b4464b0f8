// Writes a large definition for the reader and writer benchmarks.
//   make_definition OUT [GRID_SIDE]
// GRID_SIDE (default 1025) makes GRID_SIDE * GRID_SIDE map objects.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/make_definition.h"

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make_definition OUT [GRID_SIDE]\n");
        return 2;
    }
    qelbench::DefinitionSize size;
    if (argc == 3) {
        char* end = nullptr;
        const long side = std::strtol(argv[2], &end, 10);
        if (*end != '\0' || side < 0 || side > 46340) {
            std::fprintf(stderr, "make_definition: bad GRID_SIDE '%s'\n", argv[2]);
            return 2;
        }
        size.gridSide = static_cast<int>(side);
    }
    const std::string bytes = qelbench::MakeDefinition(size);
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (std::fclose(out) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
