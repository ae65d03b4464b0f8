#pragma once
// The one way a handler's failure reaches the user: the generic error box,
// with the failure's own message (ended by a full stop). The document
// commands ask through the prompter here, and their failures end here too.

#include <QString>
#include <exception>

#include "app/CommandQuestions.h"
#include "ui/Prompter.h"

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

// Shows how a document command ended: a failure in the error box. True when
// it was done.
bool ShowStatus(Prompter& prompter, QWidget* parent, const app::CommandStatus& status);

// The document commands' questions, asked in the dialogs of `parent`'s window.
class PromptedQuestions : public app::CommandQuestions {
public:
    PromptedQuestions(Prompter& prompter, QWidget* parent) : prompter_(prompter), parent_(parent) {}

    void error(const QString& message) override { prompter_.error(parent_, message); }
    void information(const QString& message) override { prompter_.information(parent_, message); }
    bool confirm(const QString& question) override { return prompter_.confirm(parent_, question); }
    bool confirmNoDefault(const QString& question) override { return prompter_.confirmNoDefault(parent_, question); }
    app::SaveChangesAnswer askSaveChanges(const QString& question) override
    {
        return prompter_.askSaveChanges(parent_, question);
    }
    QString openFile(const QString& filter) override { return prompter_.openFile(parent_, filter); }
    QString saveFile(const QString& filter) override { return prompter_.saveFile(parent_, filter); }
    void failed(std::exception_ptr failure) override { ShowFailure(prompter_, parent_, failure); }

private:
    Prompter& prompter_;
    QWidget* parent_;
};

}  // namespace qel::ui
