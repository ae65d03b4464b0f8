// Hostile inputs at full size, each figure printed beside its aim:
// - 100,000 distinct pictures (present, then missing): opening the map view
//   and typing one character in eOutFile, the longest window event (the
//   window's thread's time) and the character shown;
// - 100,000 File= lines of missing files: a typed character, and the problem
//   counts current;
// - a 512 MiB file of NULs after three lines: `qeltool check`, `format` and
//   the editor's read, each in a process of its own, its peak memory (with
//   --two-gib also a 2 GiB file, capped at 6 GiB of address space);
// - the save of the million-object file: the window from the last "changed
//   since read?" look to the rename.
// Usage: hostile_bench QELTOOL [--two-gib]

#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/DocumentSession.h"
#include "bench/make_definition.h"
#include "bench/ui/BenchFakes.h"
#include "core/io/DefinitionFiles.h"
#include "platform/FileNameText.h"
#include "platform/PictureCache.h"
#include "ui/MapCanvas.h"
#include "ui/TMainFrm.h"

using namespace qel;
using namespace qelbench;

namespace {

double ThreadMs()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Times every event the window's thread handles, outermost only.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;
    double longest = 0;
    bool notify(QObject* receiver, QEvent* event) override
    {
        if (depth_++ > 0) {
            const bool handled = QApplication::notify(receiver, event);
            --depth_;
            return handled;
        }
        const double start = ThreadMs();
        const bool handled = QApplication::notify(receiver, event);
        longest = std::max(longest, ThreadMs() - start);
        --depth_;
        return handled;
    }

private:
    int depth_ = 0;
};

TimedApplication* gApp = nullptr;

void Report(const char* what, double value, double aim, const char* unit)
{
    std::printf("%-58s %10.1f %s  aim <= %7.0f %s  %s\n", what, value, unit, aim, unit, value <= aim ? "ok" : "MISSED");
}

double Median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// Runs the loop until `done` or `seconds` pass.
template <typename Done>
void RunUntil(Done done, double seconds)
{
    const auto start = Clock::now();
    while (!done() && SecondsSince(start) < seconds)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Opens `file` in a window, the map view over it, and types a character in
// eOutFile seven times: the longest event, and the median time to show.
void TypeInWindow(const char* what, const QString& file, bool pictures)
{
    BenchPrompter prompter;
    prompter.file = file;
    prompter.confirmAnswer = false;
    NoSettings store;
    NoLauncher launcher;
    TMainFrm window(prompter, store, launcher);
    window.show();
    QApplication::processEvents();
    window.aOpenExecute();
    QApplication::processEvents();
    gApp->longest = 0;
    auto* outFile = window.findChild<QLineEdit*>(QStringLiteral("eOutFile"));
    // The counts end in "..." while the check runs.
    auto* counts = window.findChild<QWidget*>(QStringLiteral("ProblemCounts"));
    auto checking = [counts] {
        return counts != nullptr && counts->property("text").toString().endsWith(QStringLiteral("..."));
    };
    int arrivals = 0;
    if (pictures) {
        window.findChild<QAction*>(QStringLiteral("MapView1"))->trigger();
        auto* cache = window.findChild<platform::PictureCache*>(QStringLiteral("PictureCache"));
        QObject::connect(cache, &platform::PictureCache::pictureArrived, [&] { ++arrivals; });
        RunUntil([&] { return arrivals >= 100000; }, 120);
    }
    RunUntil([&] { return !checking(); }, 60);
    RunUntil([] { return false; }, 1);
    std::vector<double> shown;
    for (int i = 0; i < 7; ++i) {
        const auto start = Clock::now();
        QTest::keyClick(outFile, 'a');
        QApplication::processEvents();
        shown.push_back(SecondsSince(start) * 1000);
    }
    const auto start = Clock::now();
    RunUntil([&] { return !checking(); }, 10);
    const double current = SecondsSince(start) * 1000;
    std::printf("%s (%d pictures came; counts %s)\n", what, arrivals,
                counts != nullptr ? qPrintable(counts->property("text").toString()) : "?");
    Report("  longest window event", gApp->longest, 16, "ms");
    Report("  a typed character shown (median of 7)", Median(shown), pictures ? 50 : 16, "ms");
    Report("  problem counts current after it", current + Median(shown), 1000, "ms");
}

bool Write(const QString& file, const std::string& bytes)
{
    return WriteBenchFile(file, bytes);
}

void Pictures(const QTemporaryDir& dir)
{
    QImage small(4, 4, QImage::Format_RGB32);
    small.fill(Qt::darkGreen);
    std::string text = "OutFile=x\r\n\r\n[objectimages]\r\n";
    std::string objects = "[mapobjects]\r\n";
    for (int i = 0; i < 100000; ++i) {
        const QString name = QStringLiteral("p%1.bmp").arg(i);
        small.save(dir.filePath(name));
        text += "IMAGE" + std::to_string(i) + "=p" + std::to_string(i) + ".bmp\r\n";
        objects += std::to_string(i % 1000 * 16) + "," + std::to_string(i / 1000 * 16) + ",IMAGE" + std::to_string(i)
                   + ",AfterTiles,ShowAlways\r\n";
    }
    Write(dir.filePath(QStringLiteral("pictures.ini")), text + objects);
    TypeInWindow("100,000 distinct pictures, present", dir.filePath(QStringLiteral("pictures.ini")), true);
    for (int i = 0; i < 100000; ++i)
        QFile::remove(dir.filePath(QStringLiteral("p%1.bmp").arg(i)));
    TypeInWindow("100,000 distinct pictures, missing", dir.filePath(QStringLiteral("pictures.ini")), true);
}

void Files(const QTemporaryDir& dir)
{
    std::string text = "OutFile=x\r\n\r\n";
    for (int i = 0; i < 100000; ++i)
        text += "File=missing" + std::to_string(i) + ".bmp\r\n";
    Write(dir.filePath(QStringLiteral("files.ini")), text);
    TypeInWindow("100,000 File= lines, missing", dir.filePath(QStringLiteral("files.ini")), false);
}

// Peak memory of a child, in MB.
double ChildPeak(pid_t child)
{
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child)
        return -1;
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double RunTool(const char* tool, const char* command, const std::string& file)
{
    const pid_t child = ::fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execl(tool, tool, command, file.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return ChildPeak(child);
}

double ReadInEditor(const std::string& file)
{
    const pid_t child = ::fork();
    if (child == 0) {
        app::DocumentSession session;
        try {
            session.open(file);
        } catch (const Error& failure) {
            std::fprintf(stderr, "  the read said: %s\n", failure.message().c_str());
        }
        ::_exit(0);
    }
    return ChildPeak(child);
}

void Nuls(const char* tool, const QTemporaryDir& dir, std::size_t size, double aimMb)
{
    const std::string file = FileNameBytes(dir.filePath(QStringLiteral("nuls.ini")));
    {
        QFile out(dir.filePath(QStringLiteral("nuls.ini")));
        if (!out.open(QIODevice::WriteOnly) || out.write("OutFile=x\r\n\r\n[mapobjects]\r\n") < 0
            || !out.resize(static_cast<qint64>(size)))
            return;
    }
    std::printf("three lines, then NULs up to %zu MiB\n", size >> 20);
    Report("  qeltool check, peak", RunTool(tool, "check", file), aimMb, "MB");
    Report("  qeltool format, peak", RunTool(tool, "format", file), aimMb, "MB");
    Report("  the editor's read, peak", ReadInEditor(file), aimMb, "MB");
    QFile::remove(dir.filePath(QStringLiteral("nuls.ini")));
}

void Save(const QTemporaryDir& dir)
{
    const QString file = dir.filePath(QStringLiteral("million.ini"));
    Write(file, MakeDefinition(DefinitionSize{}));
    app::DocumentSession session;
    session.open(FileNameBytes(file));
    std::vector<double> windows;
    Clock::time_point looked;
    SetSavePointCall([&](SavePoint point) {
        if (point == SavePoint::BeforeReplaceCheck)
            looked = Clock::now();
        else
            windows.push_back(SecondsSince(looked) * 1000);
    });
    for (int i = 0; i < 7; ++i)
        session.save();
    SetSavePointCall({});
    std::printf("the save of the million-object file\n");
    Report("  from \"changed since read?\" to the rename (median of 7)", Median(windows), 1, "ms");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: hostile_bench QELTOOL [--two-gib]\n");
        return 2;
    }
    const std::string tool = argv[1];
    const bool twoGib = argc > 2 && std::string(argv[2]) == "--two-gib";
    TimedApplication app(argc, argv);
    gApp = &app;
    QTemporaryDir dir;
    Save(dir);
    Nuls(tool.c_str(), dir, std::size_t{512} << 20, 1100);
    if (twoGib) {
        rlimit cap{rlim_t{6} << 30, rlim_t{6} << 30};
        ::setrlimit(RLIMIT_AS, &cap);
        Nuls(tool.c_str(), dir, std::size_t{2} << 30, 4200);
    }
    Files(dir);
    Pictures(dir);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("%-58s %10.1f MB\n", "peak memory of the window runs", static_cast<double>(usage.ru_maxrss) / 1024.0);
    return 0;
}
