// The Problems window on the large definition (1025 x 1025 map objects, 100
// images of which the first 50 have their pictures on disk, real bitmaps):
// opens it with the problem monitor and the window attached, lets the first
// pass run between events, then makes one-row edits. Prints, beside their
// aims: the longest the window's thread was busy with one event while
// checking (aim: at most a frame, 16 ms) and the time from an edit to counts
// and list being current (aim: at most 100 ms).
//
//   QT_QPA_PLATFORM=offscreen bench/ui/problems_bench [edits]

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "app/DocumentSession.h"
#include "app/ObjectSteps.h"
#include "app/ProblemMonitor.h"
#include "app/ProblemPictures.h"
#include "bench/make_definition.h"
#include "bench/ui/BenchFakes.h"
#include "platform/FileOperations.h"
#include "platform/PictureService.h"
#include "ui/ProblemsView.h"

namespace {

constexpr double kFrameMs = 16.0;
constexpr double kCurrentMs = 100.0;

double Ms(qelbench::Clock::time_point from)
{
    return qelbench::SecondsSince(from) * 1000.0;
}

// The window thread's own processor time in ms: on a machine shared with
// other work, the wall clock also counts the time the thread waited its turn.
double ThreadMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Longest {
    double wall = 0;
    double thread = 0;
    void take(const Longest& other)
    {
        wall = std::max(wall, other.wall);
        thread = std::max(thread, other.thread);
    }
};

// Runs events until `done`; returns the longest single turn.
template <class Done>
Longest RunUntil(Done done)
{
    Longest longest;
    while (!done()) {
        const auto turn = qelbench::Clock::now();
        const double cpu = ThreadMs();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        longest.take({Ms(turn), ThreadMs() - cpu});
    }
    return longest;
}

const char* Verdict(bool met)
{
    return met ? "PASS" : "FAIL";
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int edits = argc > 1 ? std::atoi(argv[1]) : 20;

    QTemporaryDir dir;
    qelbench::DefinitionSize size;
    const std::string bytes = qelbench::MakeDefinition(size);
    const QString file = dir.filePath(QStringLiteral("big.ini"));
    if (!qelbench::WriteBenchFile(file, bytes))
        return 2;
    // The definition names "graphics\tileN.bmp"; on this system that is one file name.
    QImage picture(128, 64, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    for (int i = 0; i < 50; ++i)
        picture.save(dir.filePath(QStringLiteral("graphics\\tile%1.bmp").arg(i)), "BMP");

    qel::app::DocumentSession session;
    qel::platform::QtPictureService service;
    qel::app::ProblemPictures pictures(service);
    qel::platform::QtFileOperations files;
    qel::app::ProblemMonitor monitor(session, pictures, files);
    qel::ui::ProblemsView view(monitor);
    view.show();
    // The window's first layout and paint are no part of checking.
    RunUntil([&, turns = 0]() mutable { return ++turns > 3; });

    const auto opening = qelbench::Clock::now();
    session.open(file.toStdString());
    const double opened = Ms(opening);
    const auto passing = qelbench::Clock::now();
    const Longest passStall = RunUntil([&] { return !monitor.checking() && !pictures.decoding(); });
    const double pass = Ms(passing);
    const qel::app::ProblemCounts before = monitor.counts();

    std::vector<double> current;
    Longest editStall;
    QSignalSpy told(&monitor, &qel::app::ProblemMonitor::problemsChanged);
    const std::size_t rows = session.document().mapObjects().size();
    for (int i = 0; i < edits; ++i) {
        qel::EditorValues values;
        // Every other edit moves a row off the map, the next one back.
        values.xText = i % 2 == 0 ? "-16" : "16";
        values.yText = "16";
        values.imageChoice = 1;
        values.layerChoice = 0;
        values.modeChoice = 6;
        const std::size_t row = rows / 2 + static_cast<std::size_t>(i / 2) * 997;
        const int toldBefore = static_cast<int>(told.count());
        const auto editing = qelbench::Clock::now();
        const double editingCpu = ThreadMs();
        session.push(std::make_unique<qel::app::ApplyObjectStep>(session, qel::ObjectKind::Map, values, row));
        editStall.take({Ms(editing), ThreadMs() - editingCpu});
        editStall.take(RunUntil([&] { return told.count() > toldBefore; }));
        current.push_back(Ms(editing));
    }
    std::sort(current.begin(), current.end());
    const double worst = current.empty() ? 0 : current.back();
    const double median = current.empty() ? 0 : current[current.size() / 2];
    const qel::app::ProblemCounts after = monitor.counts();

    std::printf("input: %zu map objects, %d images, 50 pictures on disk\n", rows, size.images);
    std::printf("  open (read, not checking)        %8.1f ms\n", opened);
    std::printf("  first pass between events        %8.1f ms  (%zu errors, %zu warnings, %zu infos)\n", pass,
                before.errors, before.warnings, before.infos);
    std::printf(
        "%s  longest event during the pass   %6.1f ms of the thread's time, %.1f ms by the wall clock  (aim at "
        "most %.0f ms)\n",
        Verdict(passStall.thread <= kFrameMs), passStall.thread, passStall.wall, kFrameMs);
    std::printf("%s  edit to current counts and list %6.1f ms worst, %.1f ms median of %d  (aim at most %.0f ms)\n",
                Verdict(worst <= kCurrentMs), worst, median, edits, kCurrentMs);
    std::printf(
        "%s  longest event after an edit     %6.1f ms of the thread's time, %.1f ms by the wall clock  (aim at "
        "most %.0f ms)\n",
        Verdict(editStall.thread <= kFrameMs), editStall.thread, editStall.wall, kFrameMs);
    std::printf("      counts after the edits: %zu errors, %zu warnings\n", after.errors, after.warnings);
    return passStall.thread <= kFrameMs && worst <= kCurrentMs && editStall.thread <= kFrameMs ? 0 : 1;
}
