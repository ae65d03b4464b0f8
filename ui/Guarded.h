#pragma once
// The one way a handler's failure reaches the user: the generic error box,
// with the failure's own message (ended by a full stop).

#include <QString>
#include <exception>

#include "Prompter.h"

namespace qel::ui {

// A failure whose message is already a text of the window: it may name a
// character that has no byte in a definition file.
class TextError : public std::exception {
public:
    explicit TextError(QString message) : message_(std::move(message)) {}
    const QString& message() const { return message_; }
    const char* what() const noexcept override { return "refused text"; }

private:
    QString message_;
};

// The error box's text for a failure: its whole message (NUL bytes
// included), with the full stop rule applied and control characters drawn
// visibly.
QString FailureMessage(const std::exception& error);
QString FailureMessage(std::exception_ptr failure);
void ShowFailure(Prompter& prompter, QWidget* parent, std::exception_ptr failure);

// Runs a handler; a failure ends it and is shown in the error box. True when
// the handler ran to its end.
template <class Handler>
bool Guarded(Prompter& prompter, QWidget* parent, Handler&& handler)
{
    try {
        handler();
        return true;
    } catch (...) {
        ShowFailure(prompter, parent, std::current_exception());
        return false;
    }
}

}  // namespace qel::ui
