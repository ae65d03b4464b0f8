// A compiler that talks without end: its log grows by 50 MiB/s (80-column
// lines), and the Compiler Output window follows it, keeping the last 1 MiB.
// Prints the longest event the window's loop ran while following (aim: under
// 16 ms, so the window never stutters), and the characters the window holds
// at the end (aim: 1 MiB and the line above it).
//
//   QT_QPA_PLATFORM=offscreen bench/ui/compiler_output_bench
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "app/CompilerRun.h"
#include "tests/fakes/FakeProcessLauncher.h"
#include "ui/CompilerOutput.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir logs;
    QWidget window;
    qel::platform::FakeProcessLauncher launcher;
    qel::ui::CompilerOutput output(
        launcher, logs.path(), [](const QString&) {}, window);
    output.start({QStringLiteral("compiler"), {QStringLiteral("bench.ini")}}, QStringLiteral("bench.ini"),
                 "/bench/bench.ini");

    QByteArray line(79, 'x');
    line += '\n';
    // 50 MiB/s is 1 MiB every 20 ms.
    const QByteArray slice = line.repeated(1024 * 1024 / line.size());
    constexpr int kSeconds = 4;
    QFile log(launcher.calls.back().logFile);
    log.open(QIODevice::WriteOnly | QIODevice::Append);
    QElapsedTimer clock;
    clock.start();
    qint64 longest = 0;
    qint64 written = 0;
    while (clock.elapsed() < kSeconds * 1000) {
        // The compiler's share of time: what it should have written by now.
        while (written < clock.elapsed() * 50 * 1024 * 1024 / 1000) {
            log.write(slice);
            log.flush();
            written += slice.size();
        }
        QElapsedTimer event;
        event.start();
        app.processEvents(QEventLoop::AllEvents);
        longest = std::max(longest, event.elapsed());
    }
    launcher.watch.finished({false, 0});
    app.processEvents();
    auto* text = window.findChild<QPlainTextEdit*>(QStringLiteral("CompilerText"));
    std::printf("compiler output at 50 MiB/s: longest turn of the loop %lld ms (aim: under 16); %.0f MiB written\n",
                static_cast<long long>(longest), static_cast<double>(written) / (1024.0 * 1024.0));
    std::printf("characters kept: %lld (aim: at most %zu and the line above)\n",
                static_cast<long long>(text->document()->characterCount() - 1), qel::app::CompilerRun::kKeptOutput);
    return 0;
}
