#pragma once
// The application object: no exception ever crosses Qt's event loop. A
// failure that escapes an event handler is shown in the error box, like the
// failures the window's own handlers catch.

#include <QApplication>
#include <QString>
#include <exception>

namespace qel::ui {

class Prompter;

class QelApplication : public QApplication {
    Q_OBJECT
public:
    QelApplication(int& argc, char** argv);

    // Where escaped failures are shown; until set they are only logged.
    void setErrorPrompter(Prompter* prompter) { prompter_ = prompter; }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    Prompter* prompter_ = nullptr;
};

}  // namespace qel::ui
