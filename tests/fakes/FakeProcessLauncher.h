#pragma once
// A process launcher for tests: records every start, can refuse them, and
// lets the test speak for the program it started; no process starts.

#include <QFile>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "core/Errors.h"
#include "platform/ProcessLauncher.h"

namespace qel::platform {

class FakeProcessLauncher : public ProcessLauncher {
public:
    struct Call {
        QString program;
        QStringList arguments;
        QString logFile;
    };
    std::vector<Call> calls;
    // When not empty, run() records the call and throws this reason.
    std::string failure;
    // The watch of the last program started, for the test to call.
    ProcessWatch watch;
    int stops = 0;

    std::unique_ptr<RunningProcess> run(const QString& program, const QStringList& arguments, const QString& logFile,
                                        ProcessWatch given) override
    {
        calls.push_back({program, arguments, logFile});
        if (!failure.empty())
            throw MessageError(failure);
        QFile(logFile).open(QIODevice::WriteOnly | QIODevice::Truncate);
        watch = std::move(given);
        return std::make_unique<Running>(*this);
    }

private:
    struct Running : RunningProcess {
        explicit Running(FakeProcessLauncher& launcher) : launcher_(launcher) {}
        void stop() override { ++launcher_.stops; }
        FakeProcessLauncher& launcher_;
    };
};

}  // namespace qel::platform
