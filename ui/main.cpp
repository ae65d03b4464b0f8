// The editor: one window over one definition file.
#include <QTimer>

#include "MainWindow.h"
#include "ProcessLauncher.h"
#include "Prompter.h"
#include "QelApplication.h"
#include "SettingsStore.h"

int main(int argc, char** argv)
{
    qel::ui::QelApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("brix"));
    QCoreApplication::setApplicationName(QStringLiteral("QELv2"));
    // The application title is the main window's own title. It is not made
    // Qt's display name, which the platforms append to every window's caption
    // ("Sort Objects - QEL v2 [Tarnwick]").

    qel::ui::QtPrompter prompter;
    app.setErrorPrompter(&prompter);
    qel::platform::QtSettingsStore store;
    qel::platform::QtProcessLauncher launcher;

    TMainFrm mainFrm(prompter, store, launcher);
    mainFrm.CreateDialogs();
    mainFrm.show();

    // QEL_SCREENSHOT=file.png: save a picture of the window once it is shown
    // and end, for the documentation.
    const QString screenshot = qEnvironmentVariable("QEL_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(500, &mainFrm, [&] {
            const bool saved = mainFrm.grab().save(screenshot);
            QCoreApplication::exit(saved ? 0 : 1);
        });
    }
    const int result = app.exec();
    app.setErrorPrompter(nullptr);
    return result;
}
