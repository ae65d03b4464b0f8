#include "ProcessLauncher.h"

#include <QProcess>

#include "Errors.h"

namespace qel::platform {

void QtProcessLauncher::start(const QString& program, const QStringList& arguments)
{
    // A QProcess object rather than the static call, because only the object
    // tells why the start failed.
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (!process.startDetached())
        throw MessageError(process.errorString().toLatin1().toStdString());
}

}  // namespace qel::platform
