#include "platform/ProcessLauncher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include "core/Errors.h"

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#include <csignal>
#endif

namespace qel::platform {

namespace {

// Time between asking a group to end and ending what is left of it.
constexpr int kKillAfterMs = 1000;

class QtRunningProcess : public RunningProcess {
public:
    QtRunningProcess(QProcess* process, ProcessWatch watch) : process_(process), watch_(std::move(watch))
    {
        QObject::connect(process_, &QProcess::finished, process_, [this](int code, QProcess::ExitStatus status) {
            QObject::disconnect(process_, nullptr, process_, nullptr);
            // Qt tells a program ended by a signal with the signal's number.
            if (watch_.finished)
                watch_.finished({status == QProcess::CrashExit, code});
        });
    }

    ~QtRunningProcess() override
    {
        // The editor does not wait for the compiler, nor end it: a process
        // still running goes on unheard and its object goes when it ends.
        // Deleting a running QProcess would kill it.
        QObject::disconnect(process_, nullptr, process_, nullptr);
        if (process_->state() == QProcess::NotRunning) {
            delete process_;
            return;
        }
        QObject::connect(process_, &QProcess::finished, process_, &QObject::deleteLater);
    }

    void stop() override
    {
#ifdef Q_OS_WIN
        process_->kill();
#else
        const auto group = static_cast<pid_t>(process_->processId());
        if (group <= 0)
            return;
        ::kill(-group, SIGTERM);
        // Not tied to this object: the group may outlive its leader, and the
        // leader's object may go before the moment comes. The group's number
        // is not given to another while any process of it lives.
        QTimer::singleShot(kKillAfterMs, QCoreApplication::instance(), [group] {
            if (::kill(-group, 0) == 0)
                ::kill(-group, SIGKILL);
        });
#endif
    }

private:
    QProcess* process_;
    ProcessWatch watch_;
};

}  // namespace

std::unique_ptr<RunningProcess> QtProcessLauncher::run(const QString& program, const QStringList& arguments,
                                                       const QString& logFile, ProcessWatch watch)
{
    // Made here, so that a log that cannot be written is the caller's error
    // and not a silent loss in the child.
    {
        QFile log(logFile);
        if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw MessageError(log.errorString().toLocal8Bit().toStdString());
    }
    auto* process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setStandardInputFile(QProcess::nullDevice());
#ifdef Q_OS_WIN
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardOutputFile(logFile, QIODevice::Append);
#else
    // No pipe to the editor: a pipe whose reading end closes with the
    // editor would end a compiler that writes (broken pipe).
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    const QByteArray logName = QFile::encodeName(logFile);
    process->setChildProcessModifier([logName] {
        // In the child, before the program: only calls safe after fork.
        ::setsid();
        const int fd = ::open(logName.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
        if (fd >= 0) {
            ::dup2(fd, STDOUT_FILENO);
            ::dup2(fd, STDERR_FILENO);
            ::close(fd);
        }
    });
#endif
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

QString CompilerLogFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/compiler");
}

QString SignalName(int signal)
{
#ifndef Q_OS_WIN
    struct Named {
        int number;
        const char* name;
    };
    static const Named kNames[] = {
        {SIGHUP, "SIGHUP"},   {SIGINT, "SIGINT"},   {SIGQUIT, "SIGQUIT"}, {SIGILL, "SIGILL"},
        {SIGABRT, "SIGABRT"}, {SIGBUS, "SIGBUS"},   {SIGFPE, "SIGFPE"},   {SIGKILL, "SIGKILL"},
        {SIGSEGV, "SIGSEGV"}, {SIGPIPE, "SIGPIPE"}, {SIGALRM, "SIGALRM"}, {SIGTERM, "SIGTERM"},
        {SIGUSR1, "SIGUSR1"}, {SIGUSR2, "SIGUSR2"}, {SIGXCPU, "SIGXCPU"}, {SIGXFSZ, "SIGXFSZ"},
    };
    for (const Named& named : kNames) {
        if (named.number == signal)
            return QString::fromLatin1(named.name);
    }
#endif
    return QStringLiteral("signal %1").arg(signal);
}

}  // namespace qel::platform
