#pragma once
// A large definition in the writer's layout (CR LF after every line): the
// grid of a tiled background of 16 x 16 pictures plus images, files and screen
// objects, with a mix of the optional entry fields.

#include <cstddef>
#include <cstdlib>
#include <string>

namespace qelbench {

struct DefinitionSize {
    int gridSide = 1025;  // map objects: gridSide * gridSide
    int images = 100;
    int files = 100;
    int screenObjects = 1000;
};

// The benchmarks' grid side: QEL_BENCH_SIDE, else 1025 (1,050,625 objects);
// 3163 gives 10,004,569.
inline int BenchGridSide()
{
    const char* text = std::getenv("QEL_BENCH_SIDE");
    const int side = text != nullptr ? std::atoi(text) : 0;
    return side > 0 ? side : 1025;
}

// Where object n of a grid of `side` x `side` stands: its column and row, 16
// pixels a step, as long as the grid fits the 16384-pixel map (1025 a side);
// a larger grid covers the map again and again, as tiled backgrounds on
// several layers do.
struct MapPlace {
    long x;
    long y;
};
inline MapPlace PlaceOf(int side, int x, int y, std::size_t n)
{
    if (side <= 1025)
        return {x * 16L, y * 16L};
    return {static_cast<long>(n % 1025) * 16, static_cast<long>(n / 1025 % 1025) * 16};
}

inline void AppendNumber(std::string& out, long value)
{
    out += std::to_string(value);
}

inline std::string MakeDefinition(const DefinitionSize& size)
{
    static const char* const kLayers[] = {"AfterBackground", "AfterTiles", "BelowAll", "TopMost"};
    static const char* const kModes[] = {"ShowAlways", "EnterZone", "Kill", "ServerControlled"};
    std::string out;
    const std::size_t mapObjects = static_cast<std::size_t>(size.gridSide) * static_cast<std::size_t>(size.gridSide);
    out.reserve(mapObjects * 32 + 65536);
    out += "OutFile=bench.pak\r\n\r\n";
    for (int i = 0; i < size.files; ++i) {
        out += "File=graphics\\tile";
        AppendNumber(out, i);
        out += i % 10 == 9 ? ".wav\r\n" : ".bmp\r\n";
    }
    if (size.images > 0) {
        out += "\r\n[objectimages]\r\n";
        for (int i = 0; i < size.images; ++i) {
            out += "IMAGE";
            AppendNumber(out, i);
            out += "=graphics\\tile";
            AppendNumber(out, i);
            out += ".bmp";
            if (i % 3 != 0) {  // a third without tile numbers
                out += ',';
                AppendNumber(out, 1 + i % 8);
                out += ',';
                AppendNumber(out, 1 + i % 4);
                out += ',';
                AppendNumber(out, 50 + i);
            }
            out += "\r\n";
        }
    }
    if (mapObjects > 0) {
        out += "\r\n[mapobjects]\r\n";
        std::size_t n = 0;
        for (int y = 0; y < size.gridSide; ++y) {
            for (int x = 0; x < size.gridSide; ++x, ++n) {
                const MapPlace place = PlaceOf(size.gridSide, x, y, n);
                AppendNumber(out, place.x);
                out += ',';
                AppendNumber(out, place.y);
                out += ",IMAGE";
                AppendNumber(out,
                             size.images > 0 ? static_cast<long>(n % 7 % static_cast<std::size_t>(size.images)) : 0);
                out += ',';
                out += kLayers[n % 13 == 0 ? 1 + n % 3 : 0];
                if (n % 7 == 0) {
                    out += ',';
                    out += kModes[n % 4];
                    if (n % 21 == 0) {
                        out += ',';
                        AppendNumber(out, static_cast<long>(n % 500));
                        if (n % 63 == 0) {
                            out += ',';
                            AppendNumber(out, static_cast<long>(n % 1000 + 1));
                        }
                    }
                }
                out += "\r\n";
            }
        }
    }
    if (size.screenObjects > 0) {
        out += "\r\n[screenobjects]\r\n";
        for (int i = 0; i < size.screenObjects; ++i) {
            if (i % 5 == 0)
                out += 'C';  // a screen position relative to the centre
            AppendNumber(out, i % 640);
            out += ',';
            AppendNumber(out, i % 480);
            out += ",IMAGE";
            AppendNumber(out, size.images > 0 ? i % size.images : 0);
            out += ",TopMost";
            if (i % 2 == 0)
                out += ",ServerControlled,0,";
            if (i % 2 == 0)
                AppendNumber(out, i + 1);
            out += "\r\n";
        }
    }
    return out;
}

}  // namespace qelbench
