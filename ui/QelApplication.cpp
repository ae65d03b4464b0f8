#include "ui/QelApplication.h"

#include <QWidget>
#include <exception>

#include "ui/Guarded.h"
#include "ui/Prompter.h"

namespace qel::ui {

QelApplication::QelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool QelApplication::notify(QObject* receiver, QEvent* event)
{
    QString message;
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        message = FailureMessage(std::current_exception());
    }
    if (prompter_)
        prompter_->error(activeWindow(), message);
    else
        qWarning("%s", qPrintable(message));
    return false;
}

}  // namespace qel::ui
