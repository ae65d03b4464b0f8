#pragma once
// The document commands New, Open, Save, Save As and Compile, with what they
// ask before content could be lost: unsaved changes, lines of the file read
// that a save drops, a file that Save As replaces, a file changed on disk
// since it was read. Opening offers back the unsaved work an editor left and
// the old content an interrupted save left beside the file; a file changed
// on disk by another program is read again here too.
//
// They run on the session and ask through CommandQuestions, so they know no
// window: the window, the drop handler and start-up call them alike, and
// show the failure a command returns.

#include <functional>
#include <string>

#include "app/CommandQuestions.h"
#include "app/LossQuestions.h"
#include "app/ViewState.h"

namespace qel::platform {
class FileOperations;
}  // namespace qel::platform

namespace qel::app {

class AppSettings;
struct CompilerProcess;
class DocumentSession;
class RecoveryStore;

class DocumentCommands {
public:
    struct Hooks {
        // Empties the document and returns every control to its start.
        std::function<void()> reset;
        // The object lists' view now, for the step a re-read makes.
        std::function<ViewState()> viewState;
    };

    // `files` tells whether a file a save would replace is there.
    DocumentCommands(DocumentSession& session, RecoveryStore& recovery, const AppSettings& settings,
                     const platform::FileOperations& files, CommandQuestions& questions, Hooks hooks);

    // Each asks about unsaved changes first.
    CommandStatus newDocument();
    CommandStatus open();
    // Opens `path` as Open does once its dialog named the file, without the
    // question about unsaved changes (callers ask querySaveChanges() first).
    // A failed read leaves what was read, Untitled.
    CommandStatus open(const std::string& path);
    // A recent file: asks about unsaved changes, then opens `path`.
    CommandStatus openRecent(const std::string& path);
    CommandStatus save();
    CommandStatus saveAs();
    // Checks that it can, asks before stopping a compiler still running,
    // saves as Save does (its questions included), then starts the compiler
    // on the definition.
    CommandStatus compile();

    // Asks whether to save a changed document. Done when it may be let go
    // (saved, or "No": its recovery copy goes too); cancelled when the user
    // cancels or the save did not happen.
    CommandStatus querySaveChanges();
    // At start-up: offers the work of an untitled document that an editor
    // left unsaved when it ended without asking.
    CommandStatus offerUntitledRecovery();
    // The current file changed on disk: reads it again, a changed document
    // only when the user says so. Done with a notice when the content changed.
    CommandStatus reread();

    // Told the file each open or save succeeded on.
    void setFileUsed(std::function<void(const std::string&)> used) { fileUsed_ = std::move(used); }
    // How Compile starts the compiler, and tells one still running.
    void setCompiler(std::function<void(const CompilerProcess&)> start, std::function<bool()> running)
    {
        compilerStart_ = std::move(start);
        compilerRunning_ = std::move(running);
    }

private:
    void used(const std::string& path);
    bool queryChanges();
    bool saveCurrent();
    bool saveChosen();
    // The questions before a save to `target` that could lose content; true
    // to go on.
    bool confirmSave(const std::string& target, bool replacing);
    // Before a save over the current file: refuses one that became a link or
    // a special file, and asks over one changed on disk since it was read.
    bool confirmOverwrite();
    void read(const std::string& path);
    // Offers the recovery copies of `path` (empty: untitled) newest first,
    // until one is taken.
    void offerRecovery(const std::string& path);

    DocumentSession& session_;
    RecoveryStore& recovery_;
    const AppSettings& settings_;
    const platform::FileOperations& files_;
    CommandQuestions& questions_;
    Hooks hooks_;
    IgnoredLines ignoredLines_;
    std::function<void(const std::string&)> fileUsed_;
    std::function<void(const CompilerProcess&)> compilerStart_;
    std::function<bool()> compilerRunning_;
};

}  // namespace qel::app
