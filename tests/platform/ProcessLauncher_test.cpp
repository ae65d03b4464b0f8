// Programs run through the real launcher: what they write reaches their log
// whatever their input and exit, their end reaches the watch, and a program
// that cannot start is refused.
#include <gtest/gtest.h>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "core/Errors.h"
#include "platform/ProcessLauncher.h"

namespace {

TEST(ProcessLauncherTest, OutputAndExitCodeReachTheWatch)
{
    struct Case {
        const char* name;
        const char* script;
        QByteArray output;
        int exitCode;
    };
    const Case cases[] = {
        {"PrintsAfterClosingItsInput", "exec 0<&-; read line; echo late; exit 3", "late\n", 3},
        {"ErrorsInTheOrderWritten", "echo out; echo err >&2; echo out2", "out\nerr\nout2\n", 0},
        {"SaysNothing", "exit 0", "", 0},
    };
    qel::platform::QtProcessLauncher launcher;
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray output;
        int exitCode = -1;
        int ends = 0;
        QEventLoop loop;
        qel::platform::ProcessWatch watch;
        watch.finished = [&](qel::platform::ProcessEnd end) {
            exitCode = end.signalled ? -end.code : end.code;
            ++ends;
            loop.quit();
        };
        const QString log = dir.filePath(QString::fromLatin1(c.name));
        auto running = launcher.run(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QString::fromLatin1(c.script)},
                                    log, std::move(watch));
        // Only a safety net against a hang: nothing is measured.
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        loop.exec();
        EXPECT_EQ(ends, 1);
        QFile written(log);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        output = written.readAll();
        EXPECT_EQ(output, c.output);
        EXPECT_EQ(exitCode, c.exitCode);
    }
}

TEST(ProcessLauncherTest, AProgramThatCannotStartIsRefusedWithTheReason)
{
    qel::platform::QtProcessLauncher launcher;
    EXPECT_THROW(launcher.run(QStringLiteral("/nonexistent/compiler"), {}, QString(), {}), qel::MessageError);
}

}  // namespace
