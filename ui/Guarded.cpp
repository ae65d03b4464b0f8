#include "ui/Guarded.h"

#include "core/Errors.h"
#include "ui/Latin1Text.h"

namespace qel::ui {

QString FailureMessage(const std::exception& error)
{
    const auto* own = dynamic_cast<const qel::Error*>(&error);
    return VisibleText(qel::WithFullStop(own != nullptr ? own->message() : std::string(error.what())));
}

QString FailureMessage(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const TextError& error) {
        const QString& message = error.message();
        return !message.isEmpty() && message.back() > QLatin1Char('.') ? message + QLatin1Char('.') : message;
    } catch (const std::exception& error) {
        return FailureMessage(error);
    } catch (...) {
        return QStringLiteral("An unexpected failure ended the command.");
    }
}

void ShowFailure(Prompter& prompter, QWidget* parent, std::exception_ptr failure)
{
    prompter.error(parent, FailureMessage(failure));
}

bool ShowStatus(Prompter& prompter, QWidget* parent, const app::CommandStatus& status)
{
    if (status.outcome == app::CommandStatus::Outcome::Failed)
        ShowFailure(prompter, parent, status.failure);
    return status.done();
}

}  // namespace qel::ui
