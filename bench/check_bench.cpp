// What the problem check adds to reading the large definition: reads it
// with the entry lines noted, then checks it against a disk where the first
// PICTURES images' pictures exist (decoded facts given, as the tool's cache
// would hold them) and the rest are missing. Prints the medians and their
// ratio beside its aim.
//   check_bench [GRID_SIDE] [RUNS] [PICTURES]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/make_definition.h"
#include "core/DefinitionReader.h"
#include "core/ProblemCheck.h"

namespace {

class BenchDisk : public qel::CheckEnvironment {
public:
    explicit BenchDisk(int pictures) : pictures_(pictures) {}
    bool fileExists(const std::string& path) override
    {
        const std::size_t digits = path.find_first_of("0123456789");
        return digits != std::string::npos && std::atoi(path.c_str() + digits) < pictures_;
    }
    qel::PictureFacts picture(const std::string&) override { return qel::PictureFacts{true, true, 128, 64, {}}; }

private:
    int pictures_;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    qelbench::DefinitionSize size;
    size.gridSide = argc > 1 ? std::atoi(argv[1]) : 1025;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 7;
    const int pictures = argc > 3 ? std::atoi(argv[3]) : 50;
    const std::string bytes = qelbench::MakeDefinition(size);
    using Clock = std::chrono::steady_clock;
    std::vector<double> reads;
    std::vector<double> checks;
    std::size_t problems = 0;
    for (int run = 0; run <= runs; ++run) {
        qel::DefinitionDocument doc;
        qel::SourceLines lines;
        qel::ReadReport report;
        report.lines = &lines;
        const auto started = Clock::now();
        qel::ReadDefinitionBytes(doc, bytes, 0, &report);
        const auto read = Clock::now();
        BenchDisk disk(pictures);
        problems = qel::CheckDocument(doc, disk, &lines).size();
        const auto checked = Clock::now();
        if (run == 0)
            continue;  // warm-up
        reads.push_back(std::chrono::duration<double, std::milli>(read - started).count());
        checks.push_back(std::chrono::duration<double, std::milli>(checked - read).count());
    }
    const double read = Median(reads);
    const double check = Median(checks);
    const double ratio = (read + check) / read;
    std::printf("input: %d x %d map objects, %d of the pictures present; median of %d runs\n", size.gridSide,
                size.gridSide, pictures, runs);
    std::printf("  read (lines noted)  %8.1f ms\n", read);
    std::printf("  problem check       %8.1f ms  (%zu problems)\n", check, problems);
    std::printf("%s  (read + check) / read  %5.2fx  (aim at most 1.5x)\n", ratio <= 1.5 ? "PASS" : "FAIL", ratio);
    return ratio <= 1.5 ? 0 : 1;
}
