#pragma once
// A process launcher for tests: records every start and can refuse them.

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "Errors.h"
#include "ProcessLauncher.h"

namespace qel::platform {

class FakeProcessLauncher : public ProcessLauncher {
public:
    struct Call {
        QString program;
        QStringList arguments;
    };
    std::vector<Call> calls;
    // When not empty, start() records the call and throws this reason.
    std::string failure;

    void start(const QString& program, const QStringList& arguments) override
    {
        calls.push_back({program, arguments});
        if (!failure.empty())
            throw MessageError(failure);
    }
};

}  // namespace qel::platform
