// The recovery copy of 1,050,625 map objects: what the UI thread spends on
// it (the snapshot taken when the copy starts) against the aim of one frame
// (16 ms), and the whole write on its own thread, for comparison. Prints the
// median of five rounds of each.
//
//   build/bench/app/recovery_bench

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "app/DocumentSession.h"
#include "app/OutFileSteps.h"
#include "app/RecoveryStore.h"
#include "bench/make_definition.h"
#include "core/DefinitionReader.h"
#include "platform/RecoveryDisk.h"

using namespace qel;
using namespace qel::app;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRounds = 5;
constexpr double kFrameMs = 16.0;

double Millis(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    DocumentSession session;
    DefinitionDocument doc;
    ReadDefinitionBytes(doc, qelbench::MakeDefinition({}));
    session.adopt(std::move(doc));
    qel::platform::DiskRecoveryFolder disk;
    RecoveryStore store(session, disk, {dir.path(), std::chrono::hours(1), std::chrono::hours(1), {}});
    std::vector<double> uiThread;
    std::vector<double> whole;
    for (int round = 0; round < kRounds; ++round) {
        session.push(std::make_unique<SetOutFileStep>(session, "bench" + std::to_string(round) + ".pak"));
        const auto start = Clock::now();
        store.writeNow();
        uiThread.push_back(Millis(Clock::now() - start));
        store.waitForWrites();
        whole.push_back(Millis(Clock::now() - start));
    }
    const double ui = Median(uiThread);
    std::printf("recovery copy of %d map objects: UI thread %.2f ms (aim %.0f ms, ratio %.2f), whole write %.1f ms\n",
                session.document().mapObjectCount(), ui, kFrameMs, ui / kFrameMs, Median(whole));
    return ui <= kFrameMs ? 0 : 1;
}
