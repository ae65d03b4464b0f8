#include "platform/ProcessLauncher.h"

#include <QProcess>

#include "core/Errors.h"

namespace qel::platform {

namespace {

class QtRunningProcess : public RunningProcess {
public:
    QtRunningProcess(QProcess* process, ProcessWatch watch) : process_(process), watch_(std::move(watch))
    {
        QObject::connect(process_, &QProcess::readyReadStandardOutput, process_, [this] {
            const QByteArray bytes = process_->readAllStandardOutput();
            if (!bytes.isEmpty() && watch_.output)
                watch_.output(bytes);
        });
        QObject::connect(process_, &QProcess::finished, process_, [this](int exitCode, QProcess::ExitStatus) {
            // What was written last may not have been announced yet.
            const QByteArray rest = process_->readAllStandardOutput();
            if (!rest.isEmpty() && watch_.output)
                watch_.output(rest);
            if (watch_.finished)
                watch_.finished(exitCode);
        });
    }

    ~QtRunningProcess() override
    {
        // The editor does not wait for the compiler, nor end it: a process
        // still running goes on unheard and its object goes when it ends.
        QObject::disconnect(process_, nullptr, process_, nullptr);
        if (process_->state() == QProcess::NotRunning) {
            delete process_;
            return;
        }
        QObject::connect(process_, &QProcess::readyReadStandardOutput, process_,
                         [process = process_] { process->readAllStandardOutput(); });
        QObject::connect(process_, &QProcess::finished, process_, &QObject::deleteLater);
    }

    void stop() override { process_->kill(); }

private:
    QProcess* process_;
    ProcessWatch watch_;
};

}  // namespace

std::unique_ptr<RunningProcess> QtProcessLauncher::run(const QString& program, const QStringList& arguments,
                                                       ProcessWatch watch)
{
    auto* process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    auto running = std::make_unique<QtRunningProcess>(process, std::move(watch));
    process->start();
    // Only waits for the program to be under way, which the system tells at
    // once, so that a failure to start is the caller's error.
    if (!process->waitForStarted()) {
        const std::string reason = process->errorString().toLatin1().toStdString();
        // No finished signal follows a start that failed.
        QObject::disconnect(process, nullptr, process, nullptr);
        throw MessageError(reason);
    }
    return running;
}

}  // namespace qel::platform
