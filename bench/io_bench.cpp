// Reader and writer throughput on generated definitions: a tiled background of
// GRID x GRID map objects (1025 x 1025 = 1,050,625 at full size) plus images,
// files and screen objects.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "bench/make_definition.h"
#include "core/DefinitionDocument.h"
#include "core/DefinitionReader.h"
#include "core/DefinitionWriter.h"
#include "core/io/DefinitionFiles.h"

namespace {

namespace fs = std::filesystem;

// One generated file per grid size, made on first use and removed at exit.
class Inputs {
public:
    ~Inputs()
    {
        std::error_code ignored;
        for (const auto& [side, path] : paths_)
            fs::remove(path, ignored);
        fs::remove(outputPath(), ignored);
    }

    const std::string& path(int side)
    {
        auto found = paths_.find(side);
        if (found != paths_.end())
            return found->second;
        qelbench::DefinitionSize size;
        size.gridSide = side;
        const std::string bytes = qelbench::MakeDefinition(size);
        const std::string path = prefix() + std::to_string(side) + ".ini";
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        sizes_[side] = bytes.size();
        return paths_.emplace(side, path).first->second;
    }

    std::size_t bytes(int side)
    {
        path(side);
        return sizes_[side];
    }

    std::string outputPath() const { return prefix() + "out.ini"; }

private:
    static std::string prefix()
    {
        return (fs::temp_directory_path() / ("qel-io-bench-" + std::to_string(::getpid()) + "-")).string();
    }

    std::map<int, std::string> paths_;
    std::map<int, std::size_t> sizes_;
};

Inputs& TheInputs()
{
    static Inputs inputs;
    return inputs;
}

void SetCounters(benchmark::State& state, int side)
{
    state.SetItemsProcessed(state.iterations() * side * side);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(TheInputs().bytes(side)));
}

void BM_ReadDefinition(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    const std::string& path = TheInputs().path(side);
    for (auto _ : state) {
        qel::DefinitionDocument doc;
        qel::ReadDefinition(doc, path);
        benchmark::DoNotOptimize(doc.mapObjectCount());
        state.PauseTiming();  // freeing the document is not reading
        doc = qel::DefinitionDocument();
        state.ResumeTiming();
    }
    SetCounters(state, side);
}

// Composing the bytes alone, without the file system.
void BM_ComposeDefinition(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    qel::DefinitionDocument doc;
    qel::ReadDefinition(doc, TheInputs().path(side));
    for (auto _ : state) {
        std::size_t total = 0;
        qel::ComposeDefinition(doc, [&total](std::string_view piece) {
            benchmark::DoNotOptimize(piece.data());
            total += piece.size();
        });
        benchmark::DoNotOptimize(total);
    }
    SetCounters(state, side);
}

// The whole save: temporary file, flush to disk, rename.
void BM_WriteDefinition(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    qel::DefinitionDocument doc;
    qel::ReadDefinition(doc, TheInputs().path(side));
    const std::string out = TheInputs().outputPath();
    for (auto _ : state)
        qel::WriteDefinition(doc, out);
    SetCounters(state, side);
}

}  // namespace

BENCHMARK(BM_ReadDefinition)->Arg(65)->Arg(257)->Arg(1025)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeDefinition)->Arg(65)->Arg(257)->Arg(1025)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteDefinition)->Arg(65)->Arg(257)->Arg(1025)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
