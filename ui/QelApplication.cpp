#include "QelApplication.h"

#include <QWidget>
#include <exception>

#include "Errors.h"
#include "Latin1Text.h"
#include "Prompter.h"

namespace qel::ui {

QString FailureMessage(const std::exception& error)
{
    const auto* own = dynamic_cast<const qel::Error*>(&error);
    return VisibleText(qel::WithFullStop(own != nullptr ? own->message() : std::string(error.what())));
}

QelApplication::QelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool QelApplication::notify(QObject* receiver, QEvent* event)
{
    QString message;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        message = FailureMessage(error);
    } catch (...) {
        message = QStringLiteral("An unexpected failure ended the command.");
    }
    if (prompter_)
        prompter_->error(activeWindow(), message);
    else
        qWarning("%s", qPrintable(message));
    return false;
}

}  // namespace qel::ui
