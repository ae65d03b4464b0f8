// Undo and redo of each step on 1,050,625 map objects, against the step
// itself: prints, per step, the median time of doing it, undoing it and
// redoing it over five rounds, and the two ratios (the aim: each within
// 1.5x of the step). Add and Apply, and their undo, aim at under 1 ms.
// Last, the memory a Clear's history holds: the peak resident size while a
// document is cleared and the clear undone, against the document alone (the
// aim: within 1.2x, as the history moves the lines and copies none).
//
//   build/bench/app/undo_bench

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "DefinitionReader.h"
#include "DocumentSession.h"
#include "ObjectSteps.h"
#include "make_definition.h"

using namespace qel;
using namespace qel::app;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRounds = 5;

double Millis(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

template <class F>
double Time(F&& f)
{
    const auto start = Clock::now();
    f();
    return Millis(Clock::now() - start);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long StatusKiB(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(std::string(key).size()));
    return -1;
}

void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

using MakeStep = std::function<std::unique_ptr<SessionStep>(DocumentSession&)>;

struct Row {
    const char* name;
    MakeStep make;
};

}  // namespace

int main()
{
    DocumentSession session;
    {
        DefinitionDocument doc;
        ReadDefinitionBytes(doc, qelbench::MakeDefinition({}));
        session.adopt(std::move(doc));
    }
    std::printf("map objects: %zu\n\n", session.document().mapObjects().size());

    std::vector<std::size_t> scattered;
    for (std::size_t i = 0; i < 1000; ++i)
        scattered.push_back(i * 1049 + 7);
    EditorValues values;
    values.xText = "16";
    values.yText = "32";
    values.imageChoice = 1;
    values.layerChoice = 2;
    values.modeChoice = 6;

    const std::vector<Row> rows = {
        {"Clear", [](DocumentSession& s) { return std::make_unique<ClearObjectsStep>(s, ObjectKind::Map); }},
        {"Delete 1,000 scattered",
         [&](DocumentSession& s) { return std::make_unique<DeleteObjectsStep>(s, ObjectKind::Map, scattered); }},
        {"Sort by Y",
         [](DocumentSession& s) { return std::make_unique<SortObjectsStep>(s, ObjectKind::Map, SortKey::YCoord); }},
        {"Tiled background 16x16",
         [](DocumentSession& s) { return std::make_unique<TiledBackgroundStep>(s, 16, 16, 1); }},
        {"Apply",
         [&](DocumentSession& s) { return std::make_unique<ApplyObjectStep>(s, ObjectKind::Map, values, 500000); }},
        {"Add", [&](DocumentSession& s) { return std::make_unique<AddObjectStep>(s, ObjectKind::Map, values); }},
    };

    std::printf("%-24s %10s %10s %10s %8s %8s\n", "step", "do ms", "undo ms", "redo ms", "undo/do", "redo/do");
    bool within = true;
    for (const Row& row : rows) {
        std::vector<double> done, undone, redone;
        for (int round = 0; round < kRounds; ++round) {
            done.push_back(Time([&] { session.push(row.make(session)); }));
            undone.push_back(Time([&] { session.undo(); }));
            redone.push_back(Time([&] { session.redo(); }));
            session.undo();
        }
        const double d = Median(done), u = Median(undone), r = Median(redone);
        std::printf("%-24s %10.3f %10.3f %10.3f %8.2f %8.2f\n", row.name, d, u, r, u / d, r / d);
        const bool small = std::string(row.name) == "Apply" || std::string(row.name) == "Add";
        within = within && (small ? (d < 1 && u < 1 && r < 1) : (u <= 1.5 * d && r <= 1.5 * d));
    }

    // Memory: the document alone, then cleared and the clear undone.
    session.history().clear();
    ResetPeak();
    const long alone = StatusKiB("VmHWM:");
    session.push(std::make_unique<ClearObjectsStep>(session, ObjectKind::Map));
    session.undo();
    session.redo();
    const long withHistory = StatusKiB("VmHWM:");
    const double ratio = static_cast<double>(withHistory) / static_cast<double>(alone);
    std::printf("\npeak memory: document alone %ld KiB, with a Clear in the history %ld KiB: %.2fx\n", alone,
                withHistory, ratio);
    within = within && ratio <= 1.2;
    std::printf("%s\n", within ? "all within their aims" : "SOME FIGURE IS OUTSIDE ITS AIM");
    return within ? 0 : 1;
}
