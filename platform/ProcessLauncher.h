#pragma once
// Starting another program without waiting for it.

#include <QString>
#include <QStringList>

namespace qel::platform {

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Starts `program` with `arguments`, each handed over as one argument as
    // it is (no shell, no splitting at spaces), in the current working folder.
    // Throws qel::MessageError with the system's reason when the process
    // cannot be started.
    virtual void start(const QString& program, const QStringList& arguments) = 0;
};

class QtProcessLauncher : public ProcessLauncher {
public:
    void start(const QString& program, const QStringList& arguments) override;
};

}  // namespace qel::platform
