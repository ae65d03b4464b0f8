// A compiler that talks without end: 32 MiB of 80-column lines in 4 KiB
// chunks go through the Compiler Output window, which keeps the last 1 MiB.
// Prints the time per MiB taken in, once the window is full (aim: under
// 100 ms, so that the window keeps up with a compiler writing 10 MiB/s), and
// the characters the window holds at the end (aim: exactly 1 MiB).
//
//   QT_QPA_PLATFORM=offscreen bench/ui/compiler_output_bench
#include <QApplication>
#include <QPlainTextEdit>
#include <chrono>
#include <cstdio>

#include "app/CompilerRun.h"
#include "tests/fakes/FakeProcessLauncher.h"
#include "ui/CompilerOutput.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QWidget window;
    qel::platform::FakeProcessLauncher launcher;
    qel::ui::CompilerOutput output(
        launcher, [](const QString&) {}, window);
    output.start({QStringLiteral("compiler"), {QStringLiteral("bench.ini")}}, QStringLiteral("bench.ini"));

    QByteArray line(79, 'x');
    line += '\n';
    const QByteArray chunk = line.repeated(4096 / line.size());
    constexpr int kMiB = 32;
    const qsizetype chunks = qsizetype{kMiB} * 1024 * 1024 / chunk.size();
    const qsizetype fill = qsizetype{1024} * 1024 / chunk.size() + 1;
    using Clock = std::chrono::steady_clock;
    Clock::time_point start;
    for (qsizetype i = 0; i < chunks; ++i) {
        if (i == fill)
            start = Clock::now();
        launcher.watch.output(chunk);
        app.processEvents();
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const double taken = static_cast<double>((chunks - fill) * chunk.size()) / (1024.0 * 1024.0);
    launcher.watch.finished(0);
    auto* text = window.findChild<QPlainTextEdit*>(QStringLiteral("CompilerText"));
    std::printf("compiler output, window full: %.1f ms per MiB taken in (aim: under 100)\n", ms / taken);
    std::printf("characters kept: %lld (aim: %zu)\n", static_cast<long long>(text->document()->characterCount() - 1),
                qel::app::CompilerRun::kKeptOutput);
    return 0;
}
