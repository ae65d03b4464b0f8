#pragma once
// The compiler's last run as the user follows it: the command line, the log
// the compiler writes (followed as it grows, its last 1 MiB kept), and how
// the run ended. The compiler holds its log itself and lives in a process
// group of its own, so the editor may end before it; starting again stops
// the run before.

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <string_view>

#include "app/CompilerLauncher.h"
#include "core/OutputTail.h"
#include "platform/ProcessLauncher.h"

namespace qel::app {

class CompilerRun : public QObject {
    Q_OBJECT
public:
    static constexpr std::size_t kKeptOutput = std::size_t{1} << 20;
    // How often the log is looked at while the compiler runs.
    static constexpr int kFollowMs = 50;

    explicit CompilerRun(qel::platform::ProcessLauncher& launcher, QObject* parent = nullptr);
    ~CompilerRun() override;

    // Starts `process` on the definition called `name`, writing `logFile`
    // (the log of the run before goes). A run still going is stopped first.
    // Throws qel::MessageError with the reason when it cannot start; the run
    // then ends "Could not start: REASON".
    void start(const CompilerProcess& process, const QString& name, const QString& logFile);
    // Ends the compiler and every process it started.
    void stop();

    bool running() const { return process_ != nullptr; }
    const QString& name() const { return name_; }
    const QString& commandLine() const { return commandLine_; }
    const QString& logFile() const { return logFile_; }
    // The output kept, from a line start: see qel::OutputTail::lines().
    std::string_view output() const { return output_.lines(); }
    std::uint64_t outputStart() const { return output_.lineStart(); }
    std::uint64_t outputEnd() const { return output_.end(); }
    // "(N bytes of earlier output not kept; the whole run is in FILE)" once
    // output was dropped; empty before.
    QString droppedLine() const;
    // "Finished with exit code N in T s", "Stopped after T s", "Ended by
    // signal NAME after T s" or "Could not start: REASON"; empty while
    // running.
    const QString& end() const { return end_; }
    // The end for the status bar: "Compiler finished with exit code N",
    // "Compiler stopped", "Compiler ended by signal NAME" or "Compiler could
    // not start: REASON".
    const QString& summary() const { return summary_; }

    // Takes in what the log holds beyond what was read; the timer does this
    // while the compiler runs.
    void readLog();

signals:
    void started();
    void outputAdded();
    void ended();

private:
    void finish(qel::platform::ProcessEnd how);
    QString seconds() const;

    qel::platform::ProcessLauncher& launcher_;
    std::unique_ptr<qel::platform::RunningProcess> process_;
    // Tells this run's callbacks from those of a run before.
    int run_ = 0;
    bool stopping_ = false;
    QString name_;
    QString commandLine_;
    QString logFile_;
    QString end_;
    QString summary_;
    qel::OutputTail output_{kKeptOutput};
    QFile log_;
    QTimer follow_;
    QElapsedTimer clock_;
};

// `program` and `arguments` as a shell would need them: those with spaces or
// quotes in double quotes.
QString CommandLineText(const CompilerProcess& process);

}  // namespace qel::app
