#pragma once
// The compiler's last run as the user follows it: the command line, the
// output as it comes (its last 1 MiB), and how it ended. Starting again
// leaves the run before to go on unheard.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
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

    explicit CompilerRun(qel::platform::ProcessLauncher& launcher, QObject* parent = nullptr);
    ~CompilerRun() override;

    // Starts `process` on the definition called `name`. Throws
    // qel::MessageError with the reason when it cannot start; the run then
    // ends "Could not start: REASON".
    void start(const CompilerProcess& process, const QString& name);
    // Ends the compiler; the run ends as it says.
    void stop();

    bool running() const { return process_ != nullptr; }
    const QString& name() const { return name_; }
    const QString& commandLine() const { return commandLine_; }
    std::string_view output() const { return output_.text(); }
    // "Finished with exit code N in T s" or "Could not start: REASON"; empty
    // while running.
    const QString& end() const { return end_; }
    // The end for the status bar: "Compiler finished with exit code N" or
    // "Compiler could not start: REASON".
    const QString& summary() const { return summary_; }

signals:
    void started();
    // `bytes` came; `dropped` bytes went from the front of what was kept.
    void outputAdded(const QByteArray& bytes, qsizetype dropped);
    void ended();

private:
    void finish(int exitCode);

    qel::platform::ProcessLauncher& launcher_;
    std::unique_ptr<qel::platform::RunningProcess> process_;
    // Tells this run's callbacks from those of a run left to go on.
    int run_ = 0;
    QString name_;
    QString commandLine_;
    QString end_;
    QString summary_;
    qel::OutputTail output_{kKeptOutput};
    QElapsedTimer clock_;
};

// `program` and `arguments` as a shell would need them: those with spaces or
// quotes in double quotes.
QString CommandLineText(const CompilerProcess& process);

}  // namespace qel::app
