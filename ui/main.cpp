// The editor: one window over one definition file.
#include <QTimer>
#include <cstdio>

#include "platform/FileNameText.h"
#include "platform/ProcessLauncher.h"
#include "platform/SettingsStore.h"
#include "ui/ApplicationIcon.h"
#include "ui/CommandLine.h"
#include "ui/Guarded.h"
#include "ui/Prompter.h"
#include "ui/QelApplication.h"
#include "ui/TMainFrm.h"

int main(int argc, char** argv)
{
    // Before any GUI: --help and --version need no display.
    const qel::ui::CommandLine command = qel::ui::ParseCommandLine(qel::ui::ArgumentsOf(argc, argv));
    switch (command.action) {
    case qel::ui::CommandLine::Action::Print:
        std::fputs(command.text.toLocal8Bit().constData(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    case qel::ui::CommandLine::Action::Fail:
        std::fputs(command.text.toLocal8Bit().constData(), stderr);
        return qel::ui::kUsageExitStatus;
    case qel::ui::CommandLine::Action::Start:
        break;
    }

    // Qt sees only the program name: the words were all read above, and a
    // file named like one of Qt's own options must not be taken for it.
    int qtArgc = 1;
    qel::ui::QelApplication app(qtArgc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("brix"));
    QCoreApplication::setApplicationName(QStringLiteral("QELv2"));
    // The application title is the main window's own title. It is not made
    // Qt's display name, which the platforms append to every window's caption
    // ("Sort Objects - QEL v2 [Tarnwick]").
    // The desktop entry's name ties the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.qel"));
    QGuiApplication::setWindowIcon(qel::ui::ApplicationIcon());

    qel::ui::QtPrompter prompter;
    app.setErrorPrompter(&prompter);
    qel::platform::QtSettingsStore store;
    qel::platform::QtProcessLauncher launcher;

    TMainFrm mainFrm(prompter, store, launcher);
    mainFrm.CreateDialogs();
    mainFrm.AcceptDrops();
    mainFrm.show();
    // Whatever else is open, closing the main window ends the editor; a
    // compiler it started goes on on its own.
    QObject::connect(&mainFrm, &TMainFrm::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    // QEL_SCREENSHOT=file.png: save a picture of the window once it is shown
    // and end, for the documentation.
    const QString screenshot = qEnvironmentVariable("QEL_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(500, &mainFrm, [&] {
            const bool saved = mainFrm.grab().save(screenshot);
            QCoreApplication::exit(saved ? 0 : 1);
        });
    }
    // The file is read once the loop runs, so the window is on screen
    // behind an error box of a failed read.
    // A file named on the command line is offered its own unsaved work as it
    // opens; without one, the work of an untitled document is offered.
    qel::app::DocumentCommands& commands = mainFrm.commands();
    const auto show = [&](const qel::app::CommandStatus& status) { qel::ui::ShowStatus(prompter, &mainFrm, status); };
    if (!command.path.isEmpty())
        QMetaObject::invokeMethod(
            &mainFrm, [&] { show(commands.open(qel::FileNameBytes(command.path))); }, Qt::QueuedConnection);
    else if (screenshot.isEmpty())
        QMetaObject::invokeMethod(
            &mainFrm, [&] { show(commands.offerUntitledRecovery()); }, Qt::QueuedConnection);
    const int result = app.exec();
    app.setErrorPrompter(nullptr);
    return result;
}
