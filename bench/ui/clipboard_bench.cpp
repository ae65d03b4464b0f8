// The commands on many objects on 1,050,625 map objects, in the window,
// each followed by the event processing that lays out and paints the lists.
// Prints the median of at least seven rounds of each, and of its undo,
// against the aims: Select All and Select Objects Using Image at most 20 ms;
// Copy of 100,000 rows at most 100 ms; Paste of them and Duplicate of
// 100,000 at most 200 ms; each undo within 1.5x its step.
//
//   QT_QPA_PLATFORM=offscreen bench/ui/clipboard_bench [first words of the commands to run]
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench/make_definition.h"
#include "bench/ui/BenchFakes.h"
#include "tests/fakes/FakeClipboard.h"
#include "ui/ObjectListView.h"
#include "ui/TMainFrm.h"

namespace {

double Millis(qelbench::Clock::time_point from)
{
    return std::chrono::duration<double, std::milli>(qelbench::Clock::now() - from).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Command {
    const char* name;
    double limitMs;
    bool undone;
    std::function<void()> prepare;  // not timed
    const char* action;
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("grid.ini"));
    if (!qelbench::WriteBenchFile(file, qelbench::MakeDefinition({1025, 1, 0, 0})))
        return 1;
    qelbench::BenchPrompter prompter;
    prompter.file = file;
    qelbench::NoSettings store;
    qelbench::NoLauncher launcher;
    qel::platform::FakeClipboard clipboard;
    qel::ui::WindowServices services;
    services.clipboard = &clipboard;
    TMainFrm window(prompter, store, launcher, services);
    window.CreateDialogs();
    window.show();
    window.aOpenExecute();
    QApplication::processEvents();
    window.TimerTimer();
    auto* list = window.findChild<qel::ui::ObjectListView*>(QStringLiteral("MapObjectList"));
    const int rows = list->model()->rowCount();
    std::printf("map objects:  %d\n", rows);
    if (rows != 1025 * 1025 || prompter.failures)
        return 1;

    const auto settle = [] { QApplication::processEvents(); };
    const std::size_t middle = static_cast<std::size_t>(rows / 2);
    const auto select = [&](std::size_t first, std::size_t count) {
        qel::app::RowSelection selection;
        selection.ranges.emplace_back(first, first + count - 1);
        selection.current = first;
        list->showRowSelection(selection);
    };
    const auto hundredThousand = [&] { select(middle, 100000); };
    const Command commands[] = {
        {"Select All", 20, false, [&] { select(middle, 1); }, "SelectAll1"},
        {"Select Using Image", 20, false, [&] { select(middle, 1); }, "SelectUsingImage1"},
        {"Copy 100,000", 100, false, hundredThousand, "Copy1"},
        {"Paste 100,000", 200, true, [&] { select(middle, 1); }, "Paste1"},
        {"Duplicate 100,000", 200, true, hundredThousand, "Duplicate1"},
        {"Cut 100,000", 200, true, hundredThousand, "Cut1"},
    };

    bool allOk = true;
    std::printf("%-26s %12s %12s %8s   aims\n", "command", "ms", "undo ms", "undo/x");
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    for (const Command& command : commands) {
        if (!QString::fromLatin1(command.name).startsWith(only))
            continue;
        QAction* action = window.findChild<QAction*>(QString::fromLatin1(command.action));
        std::vector<double> done;
        std::vector<double> undone;
        for (int round = 0; round < 7; ++round) {
            command.prepare();
            settle();
            const int steps = window.session().history().index();
            auto start = qelbench::Clock::now();
            action->trigger();
            settle();
            done.push_back(Millis(start));
            if (!command.undone)
                continue;
            if (window.session().history().index() != steps + 1) {
                std::fprintf(stderr, "%s made no step\n", command.name);
                return 1;
            }
            start = qelbench::Clock::now();
            window.UndoExecute();
            settle();
            undone.push_back(Millis(start));
        }
        const double ms = Median(done);
        const bool ok = ms <= command.limitMs;
        if (command.undone) {
            const double undoMs = Median(undone);
            const double ratio = undoMs / ms;
            const bool undoOk = ratio <= 1.5;
            allOk = allOk && ok && undoOk;
            std::printf("%-26s %12.3f %12.3f %8.2f   <= %g ms %s, undo <= 1.5x %s\n", command.name, ms, undoMs, ratio,
                        command.limitMs, ok ? "ok" : "TOO SLOW", undoOk ? "ok" : "TOO SLOW");
        } else {
            allOk = allOk && ok;
            std::printf("%-26s %12.3f %12s %8s   <= %g ms %s\n", command.name, ms, "-", "-", command.limitMs,
                        ok ? "ok" : "TOO SLOW");
        }
        window.TimerTimer();
        const QString count = window.findChild<QLabel*>(QStringLiteral("SelectionCount"))->text();
        if (QString::fromLatin1(command.action) == QLatin1String("SelectAll1") && count != "1,050,625 selected") {
            std::fprintf(stderr, "the status bar shows \"%s\"\n", qPrintable(count));
            return 1;
        }
        if (QString::fromLatin1(command.action) == QLatin1String("Copy1")
            && clipboard.held.count(QLatin1Char('\n')) != 100000) {
            std::fprintf(stderr, "Copy left %lld lines\n",
                         static_cast<long long>(clipboard.held.count(QLatin1Char('\n'))));
            return 1;
        }
        if (command.undone && list->model()->rowCount() != rows) {
            std::fprintf(stderr, "%s: the undo did not give back %d rows\n", command.name, rows);
            return 1;
        }
    }
    if (prompter.failures)
        return 1;
    return allOk ? 0 : 2;
}
