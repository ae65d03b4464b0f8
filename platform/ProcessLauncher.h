#pragma once
// Starting another program without waiting for it, and hearing from it while
// it runs.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace qel::platform {

// What a running program says, on the thread that started it. `output`
// carries standard output and error as they come, merged in the order they
// were written; `finished` comes once, after the last output.
struct ProcessWatch {
    std::function<void(const QByteArray& bytes)> output;
    std::function<void(int exitCode)> finished;
};

// A program started with run(). Letting go of it leaves the program running,
// unheard.
class RunningProcess {
public:
    virtual ~RunningProcess() = default;
    // Ends the program at once; `finished` follows.
    virtual void stop() = 0;
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Starts `program` with `arguments`, each handed over as one argument as
    // it is (no shell, no splitting at spaces), in the current working folder,
    // with its input closed. Throws qel::MessageError with the system's reason
    // when the process cannot be started; then `watch` hears nothing.
    virtual std::unique_ptr<RunningProcess> run(const QString& program, const QStringList& arguments,
                                                ProcessWatch watch) = 0;
};

class QtProcessLauncher : public ProcessLauncher {
public:
    std::unique_ptr<RunningProcess> run(const QString& program, const QStringList& arguments,
                                        ProcessWatch watch) override;
};

}  // namespace qel::platform
