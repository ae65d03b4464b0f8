#pragma once
// What the document commands ask and tell the user, and how a command ended.
// The window asks in its message boxes and file dialogs; tests answer from
// queues. The texts are those the user reads: file names already made text.

#include <QString>
#include <exception>
#include <string>

namespace qel::app {

enum class SaveChangesAnswer { Yes, No, Cancel };

class CommandQuestions {
public:
    virtual ~CommandQuestions() = default;

    // Error box and information box, each with one OK button.
    virtual void error(const QString& message) = 0;
    virtual void information(const QString& message) = 0;
    // "&Yes" or "&No"; true for Yes.
    virtual bool confirm(const QString& question) = 0;
    // The same with No the default: for questions where Yes loses content.
    virtual bool confirmNoDefault(const QString& question) = 0;
    // "Save changes to NAME?" with Yes, No and Cancel.
    virtual SaveChangesAnswer askSaveChanges(const QString& question) = 0;
    // The file dialogs for a definition; empty when cancelled.
    virtual QString openFile(const QString& filter) = 0;
    virtual QString saveFile(const QString& filter) = 0;
    // A failure the command goes on after, shown as a failure that ends one.
    virtual void failed(std::exception_ptr failure) = 0;
};

// How a command ended. The caller shows a failure; the command has shown
// everything else.
struct CommandStatus {
    enum class Outcome { Done, Cancelled, Failed };

    Outcome outcome = Outcome::Done;
    // What ended a failed command.
    std::exception_ptr failure;
    // A text for the status bar, in the file name bytes; empty for none.
    std::string notice;

    bool done() const { return outcome == Outcome::Done; }
};

}  // namespace qel::app
