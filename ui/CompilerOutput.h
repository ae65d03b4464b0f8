#pragma once
// The compiler's window, "Compiler Output - NAME" ("CompilerOutput"): the
// command line ("CompilerCommand"), the log's path ("CompilerLog"), what the
// compiler writes as it comes ("CompilerText", Latin-1, its last 1 MiB from
// a line start, under a line telling what went), how it ended
// ("CompilerEnd") and "&Stop" ("StopCompiler") while it runs. Compile opens it; closing only
// hides it, so View > "Compiler Output" ("CompilerOutput1") shows the last
// run again.

#include <QObject>
#include <QString>
#include <functional>
#include <string>

class QAction;
class QWidget;

namespace qel::platform {
class ProcessLauncher;
}
namespace qel::app {
class CompilerRun;
struct CompilerProcess;
}  // namespace qel::app

namespace qel::ui {

class CompilerOutputWindow;

class CompilerOutput : public QObject {
    Q_OBJECT
public:
    // `tell` shows a passing status message; the logs go in `logFolder`.
    CompilerOutput(qel::platform::ProcessLauncher& launcher, const QString& logFolder,
                   std::function<void(const QString&)> tell, QWidget& window);
    ~CompilerOutput() override;

    QAction* entry() const { return entry_; }
    // Starts the compiler on `definition` (file name bytes), shown as
    // `name`, and shows the window; throws qel::MessageError when the
    // compiler cannot start.
    void start(const qel::app::CompilerProcess& process, const QString& name, const std::string& definition);
    bool running() const;
    void show();

private:
    app::CompilerRun* run_;
    QString logFolder_;
    CompilerOutputWindow* window_;
    QAction* entry_;
};

}  // namespace qel::ui
