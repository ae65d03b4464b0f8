// The Objects Section's handlers on 1,050,625 map objects (QEL_BENCH_SIDE=3163
// for ten million), in the window,
// each followed by the event processing that lays out and paints the lists
// and lets the problem monitor follow. Prints, per edit, the median of 7
// samples of the edit and of its undo (Edit, Undo), in the window's thread's
// processor time (the wall's in brackets), beside the aims: Add,
// Apply and Delete of one row at most 1 ms; Load (a click on a row) and one
// periodic refresh at most 5 ms; Delete of 1,000 scattered selected rows,
// Clear, Switch of all rows, the tiled background of a 16 x 16 picture and a
// move of 100,000 rows at most 100 ms; Sort shown at most 150 ms; each undo
// within 1.5x its edit or 2 ms, whichever is larger.
//
//   QT_QPA_PLATFORM=offscreen bench/ui/objects_bench [first words of the edits to run]
#include <time.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/ObjectSteps.h"
#include "app/ProblemMonitor.h"
#include "app/ReplaceRowsStep.h"
#include "bench/make_definition.h"
#include "bench/ui/BenchFakes.h"
#include "platform/ProcessLauncher.h"
#include "platform/SettingsStore.h"
#include "ui/ObjectListView.h"
#include "ui/TMainFrm.h"
#include "ui/TSortFrm.h"

namespace {

constexpr int kSamples = 7;

using Clock = std::chrono::steady_clock;

// The window's thread's own processor time: on a machine shared with builds
// the clock on the wall also counts the turns other programs take.
double ThreadMs()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Start {
    Clock::time_point wall = Clock::now();
    double thread = ThreadMs();
};

double Millis(const Start& from, std::vector<double>& wall)
{
    wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - from.wall).count());
    return ThreadMs() - from.thread;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Edit {
    const char* name;
    double limitMs;
    bool undone;                    // measured with its undo
    std::function<void()> prepare;  // not timed
    std::function<void()> run;
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const int side = qelbench::BenchGridSide();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("grid.ini"));
    {
        if (!qelbench::WriteBenchFile(file, qelbench::MakeDefinition({side, 1, 0, 0})))
            return 1;
        QImage tile(16, 16, QImage::Format_RGB32);
        tile.fill(Qt::darkBlue);
        // The image's file name as the definition writes it.
        if (!tile.save(dir.filePath(QStringLiteral("graphics\\tile0.bmp")), "BMP")) {
            std::fprintf(stderr, "cannot write the tile picture\n");
            return 1;
        }
    }

    qelbench::BenchPrompter prompter;
    prompter.file = file;
    qelbench::NoSettings store;
    qelbench::NoLauncher launcher;
    TMainFrm window(prompter, store, launcher);
    window.CreateDialogs();
    window.show();
    window.aOpenExecute();
    QApplication::processEvents();
    window.TimerTimer();
    // The first pass of the problems over every row runs in slices between
    // events; done here, so that no edit's figure holds one of its slices.
    window.problemMonitor().finishChecking();
    QAbstractItemView* list = window.findChild<qel::ui::ObjectListView*>(QStringLiteral("MapObjectList"));
    const int rows = list->model()->rowCount();
    std::printf("map objects:  %d\n", rows);
    if (rows != side * side || prompter.failures)
        return 1;

    // What the event loop does before the next input: the views' pending
    // layout and painting.
    const auto settle = [&] { QApplication::processEvents(); };
    const auto clickRow = [&](int row) {
        const QModelIndex index = list->model()->index(row, 0);
        list->scrollTo(index, QAbstractItemView::PositionAtCenter);
        settle();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    };
    const auto selectScattered = [&] {
        QItemSelection selection;
        for (int row = 17; row < rows && selection.size() < 1000; row += rows / 1000)
            selection.select(list->model()->index(row, 0), list->model()->index(row, 0));
        list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    };
    const auto sort = [&] {
        window.findChild<QToolButton*>(QStringLiteral("SortObjects"))->click();
        TSortFrm* dialog = window.SortFrm();
        dialog->findChild<QRadioButton*>(QStringLiteral("SortByRadioItem0"))->click();  // X-Coord
        return dialog;
    };

    const auto selectRows = [&](int first, int count) {
        list->selectionModel()->select(
            QItemSelection(list->model()->index(first, 0), list->model()->index(first + count - 1, 0)),
            QItemSelectionModel::ClearAndSelect);
    };
    std::vector<std::size_t> moved;
    for (std::size_t row = 3; moved.size() < 100000; row += 10)
        moved.push_back(row);

    const int middle = rows / 2;
    TSortFrm* sortDialog = nullptr;
    const Edit edits[] = {
        {"Add", 1, true,
         [&] {
             window.findChild<QLineEdit*>(QStringLiteral("eObjectX"))->setText(QStringLiteral("@3"));
             window.findChild<QLineEdit*>(QStringLiteral("eObjectY"))->setText(QStringLiteral("48"));
         },
         [&] { window.findChild<QToolButton*>(QStringLiteral("AddObject"))->click(); }},
        {"Apply", 1, true,
         [&] {
             clickRow(middle);
             window.findChild<QLineEdit*>(QStringLiteral("eObjectX"))->setText(QStringLiteral("t7"));
         },
         [&] { window.findChild<QToolButton*>(QStringLiteral("ApplyObject"))->click(); }},
        {"Delete one", 1, true, [&] { selectRows(middle, 1); },
         [&] { window.findChild<QToolButton*>(QStringLiteral("DelObject"))->click(); }},
        {"Move 100,000", 100, true, [] {},
         [&] {
             window.session().push(
                 std::make_unique<qel::app::MoveObjectsStep>(window.session(), qel::ObjectKind::Map, moved, 16, 0));
         }},
        {"Load (a click)", 5, false,
         [&] {
             list->scrollTo(list->model()->index(middle + 3, 0), QAbstractItemView::PositionAtCenter);
             settle();
         },
         [&] {
             QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                               list->visualRect(list->model()->index(middle + 3, 0)).center());
         }},
        {"Refresh (one tick)", 5, false, [] {}, [&] { window.TimerTimer(); }},
        {"Delete 1,000 scattered", 100, true, selectScattered,
         [&] { window.findChild<QToolButton*>(QStringLiteral("DelObject"))->click(); }},
        {"Clear", 100, true, [] {},
         [&] { window.findChild<QToolButton*>(QStringLiteral("ClearObjectList"))->click(); }},
        {"Switch all rows", 100, true, [&] { list->selectAll(); },
         [&] { window.findChild<QToolButton*>(QStringLiteral("Switch"))->click(); }},
        {"Sort by X-Coord", 150, true, [&] { sortDialog = sort(); },
         [&] { sortDialog->findChild<QToolButton*>(QStringLiteral("Sort"))->click(); }},
        {"Tiled background 16x16", 100, true,
         [&] { window.findChild<QComboBox*>(QStringLiteral("ObjectImageBox"))->setCurrentIndex(0); },
         [&] { window.findChild<QAction*>(QStringLiteral("BackgroundTiledZindle1"))->trigger(); }},
    };

    bool allOk = true;
    std::printf("%-26s %12s %12s %8s   aims\n", "edit", "edit ms", "undo ms", "undo/x");
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    for (const Edit& edit : edits) {
        if (!QString::fromLatin1(edit.name).startsWith(only))
            continue;
        std::vector<double> done;
        std::vector<double> undone;
        std::vector<double> doneWall;
        std::vector<double> undoneWall;
        for (int round = 0; round < kSamples; ++round) {
            // The periodic refresh that enables the buttons, driven here
            // rather than waited for.
            window.TimerTimer();
            edit.prepare();
            settle();
            const int steps = window.session().history().index();
            Start start;
            edit.run();
            settle();
            done.push_back(Millis(start, doneWall));
            if (!edit.undone)
                continue;
            if (window.session().history().index() != steps + 1) {
                std::fprintf(stderr, "%s made no step\n", edit.name);
                return 1;
            }
            start = Start();
            window.UndoExecute();
            settle();
            undone.push_back(Millis(start, undoneWall));
        }
        const double editMs = Median(done);
        const bool editOk = editMs <= edit.limitMs;
        if (edit.undone) {
            const double undoMs = Median(undone);
            const double ratio = undoMs / editMs;
            const bool undoOk = undoMs <= std::max(1.5 * editMs, 2.0);
            allOk = allOk && editOk && undoOk;
            std::printf(
                "%-26s %12.3f %12.3f %8.2f   edit <= %g ms %s, undo <= max(1.5x, 2 ms) %s   (wall %.3f / %.3f)\n",
                edit.name, editMs, undoMs, ratio, edit.limitMs, editOk ? "ok" : "TOO SLOW", undoOk ? "ok" : "TOO SLOW",
                Median(doneWall), Median(undoneWall));
        } else {
            allOk = allOk && editOk;
            std::printf("%-26s %12.3f %12s %8s   edit <= %g ms %s   (wall %.3f)\n", edit.name, editMs, "-", "-",
                        edit.limitMs, editOk ? "ok" : "TOO SLOW", Median(doneWall));
        }
        if (list->model()->rowCount() != rows && edit.undone) {
            std::fprintf(stderr, "%s: the undo did not give back %d rows\n", edit.name, rows);
            return 1;
        }
    }
    if (prompter.failures)
        return 1;
    return allOk ? 0 : 2;
}
