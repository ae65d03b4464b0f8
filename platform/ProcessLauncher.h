#pragma once
// Starting another program that lives on its own: in a process group of its
// own, writing what it says to a log file it holds itself, so that nothing
// the editor holds or lets go of (a pipe, its own life) can end it; and
// ending that whole group when the user asks.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace qel::platform {

// How a program ended: its exit code, or the signal that ended it.
struct ProcessEnd {
    bool signalled = false;
    int code = 0;  // the exit code, or the signal's number when signalled

    friend bool operator==(const ProcessEnd&, const ProcessEnd&) = default;
};

// What a running program tells, on the thread that started it: `finished`
// comes once, when the program itself ends (programs it started may go on).
struct ProcessWatch {
    std::function<void(ProcessEnd end)> finished;
};

// A program started with run(). Letting go of it leaves the program running,
// unheard.
class RunningProcess {
public:
    virtual ~RunningProcess() = default;
    // Asks the program and every process of its group to end (TERM), and
    // ends those still there a moment later (KILL): all are gone within 2 s.
    // `finished` follows.
    virtual void stop() = 0;
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Starts `program` with `arguments`, each handed over as one argument as
    // it is (no shell, no splitting at spaces), in the current working folder,
    // with its input closed and its output and error output both written to
    // `logFile` (made anew, empty). Throws qel::MessageError with the
    // system's reason when the process cannot be started; then `watch`
    // hears nothing.
    virtual std::unique_ptr<RunningProcess> run(const QString& program, const QStringList& arguments,
                                                const QString& logFile, ProcessWatch watch) = 0;
};

class QtProcessLauncher : public ProcessLauncher {
public:
    std::unique_ptr<RunningProcess> run(const QString& program, const QStringList& arguments, const QString& logFile,
                                        ProcessWatch watch) override;
};

// The folder the compiler's logs go in: the user's cache folder.
QString CompilerLogFolder();

// "SIGTERM" for 15: the name a user looks up; "signal N" for one unnamed.
QString SignalName(int signal);

}  // namespace qel::platform
