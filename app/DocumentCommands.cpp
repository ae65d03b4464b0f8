#include "app/DocumentCommands.h"

#include "app/CommandRun.h"
#include "app/CompilerLauncher.h"
#include "app/DocumentFiles.h"
#include "app/DocumentSession.h"
#include "app/RecoveryStore.h"
#include "core/Errors.h"
#include "core/io/FileIo.h"
#include "platform/FileNameText.h"
#include "platform/FileOperations.h"

namespace qel::app {

namespace {

const QString kOpenFilter = QStringLiteral("INI-Files (*.ini)");
const QString kSaveFilter = QStringLiteral("INI-File (*.ini)");

}  // namespace

DocumentCommands::DocumentCommands(DocumentSession& session, RecoveryStore& recovery, const AppSettings& settings,
                                   const platform::FileOperations& files, CommandQuestions& questions, Hooks hooks)
    : session_(session),
      recovery_(recovery),
      settings_(settings),
      files_(files),
      questions_(questions),
      hooks_(std::move(hooks))
{
}

CommandStatus DocumentCommands::newDocument()
{
    return RunCommand([this] {
        if (!queryChanges())
            return false;
        hooks_.reset();
        return true;
    });
}

CommandStatus DocumentCommands::open()
{
    return RunCommand([this] {
        if (!queryChanges())
            return false;
        const QString chosen = questions_.openFile(kOpenFilter);
        if (chosen.isEmpty())
            return false;
        read(FileNameBytes(chosen));
        return true;
    });
}

CommandStatus DocumentCommands::open(const std::string& path)
{
    return RunCommand([&] {
        read(path);
        return true;
    });
}

CommandStatus DocumentCommands::openRecent(const std::string& path)
{
    return RunCommand([&] {
        if (!queryChanges())
            return false;
        read(path);
        return true;
    });
}

CommandStatus DocumentCommands::save()
{
    return RunCommand([this] { return saveCurrent(); });
}

CommandStatus DocumentCommands::saveAs()
{
    return RunCommand([this] { return saveChosen(); });
}

CommandStatus DocumentCommands::compile()
{
    return RunCommand([this] {
        CheckCompileReady(session_.document(), settings_);
        if (compilerRunning_ && compilerRunning_()
            && !questions_.confirmNoDefault(QStringLiteral("The compiler is still running. Stop it and start again?")))
            return false;
        // Compiling saves first, as Save does, asking what it asks.
        if (!saveCurrent())
            return false;
        if (compilerStart_)
            StartCompiler(session_.document(), settings_, compilerStart_);
        return true;
    });
}

CommandStatus DocumentCommands::querySaveChanges()
{
    return RunCommand([this] { return queryChanges(); });
}

bool DocumentCommands::queryChanges()
{
    if (!session_.modified())
        return true;
    const QString question = FileNameText(SaveChangesQuestion(session_.document()));
    switch (questions_.askSaveChanges(question)) {
    case SaveChangesAnswer::Yes:
        return saveCurrent();
    case SaveChangesAnswer::No:
        recovery_.discard();
        return true;
    case SaveChangesAnswer::Cancel:
        break;
    }
    return false;
}

bool DocumentCommands::confirmSave(const std::string& target, bool replacing)
{
    // Lines of the file read that the save drops are the more telling
    // question; it stands for the replacing too.
    if (const std::optional<std::string> question = ignoredLines_.question(target))
        return questions_.confirmNoDefault(FileNameText(*question));
    if (replacing && files_.exists(target))
        return questions_.confirm(FileNameText(ReplaceQuestion(target)));
    return true;
}

bool DocumentCommands::saveCurrent()
{
    const std::string target = session_.document().currentFile();
    if (target.empty())
        return saveChosen();
    if (!confirmOverwrite() || !confirmSave(target, false))
        return false;
    // Another program may save between the question and the replace: the
    // session looks again right before it, and the user is asked again.
    for (;;) {
        try {
            session_.save();
            break;
        } catch (const ChangedBeforeReplace& changed) {
            if (!questions_.confirmNoDefault(FileNameText(ReplaceChangedQuestion(session_.document()))))
                return false;
            session_.acceptDiskChange(changed.now);
        }
    }
    ignoredLines_.saved(target);
    used(target);
    return true;
}

bool DocumentCommands::saveChosen()
{
    const QString chosen = questions_.saveFile(kSaveFilter);
    const std::string target = SaveAsTarget(FileNameBytes(chosen));
    if (target.empty() || !confirmSave(target, true))
        return false;
    // A failed write still names the file it tried, as the title shows.
    session_.saveAs(target);
    ignoredLines_.saved(target);
    used(target);
    return true;
}

void DocumentCommands::read(const std::string& path)
{
    // What was read before a failure stays on screen, Untitled.
    hooks_.reset();
    // A save that died part way may have left the file incomplete; the copy
    // of its old content stays until the user says what to do with it.
    if (const std::optional<std::string> copy = FindInterruptedSave(path)) {
        if (questions_.confirmNoDefault(FileNameText(InterruptedSaveQuestion(path, *copy)))) {
            try {
                RestoreInterruptedSave(path, *copy);
            } catch (...) {
                questions_.failed(std::current_exception());
            }
        }
    }
    ReadReport report;
    std::exception_ptr failure;
    try {
        session_.open(path, &report);
    } catch (...) {
        failure = std::current_exception();
    }
    ignoredLines_.read(path, report.ignoredLines);
    if (report.ignoredLines > 0)
        questions_.information(FileNameText(IgnoredLinesNotice(report.ignoredLines, path, report.firstIgnoredLine)));
    if (failure) {
        // Unsaved work on a file that no longer reads is worth the most.
        offerRecovery(path);
        std::rethrow_exception(failure);
    }
    offerRecovery(path);
    used(path);
}

void DocumentCommands::used(const std::string& path)
{
    if (fileUsed_)
        fileUsed_(path);
}

CommandStatus DocumentCommands::offerUntitledRecovery()
{
    return RunCommand([this] {
        if (!session_.modified() && session_.document().currentFile().empty())
            offerRecovery({});
        return true;
    });
}

void DocumentCommands::offerRecovery(const std::string& path)
{
    std::vector<std::string> problems;
    std::vector<RecoveryOffer> offers = recovery_.find(path, problems);
    for (const std::string& problem : problems)
        questions_.error(FileNameText(problem));
    bool taken = false;
    for (const RecoveryOffer& offer : offers) {
        if (taken) {
            recovery_.pass(offer);
        } else if (questions_.confirm(RecoveryQuestion(offer))) {
            // What was read stays out of the history: the recovered work is
            // unsaved, and nothing is written until the user saves.
            session_.adoptRecovered(recovery_.recover(offer));
            taken = true;
        } else {
            recovery_.decline(offer);
        }
    }
}

bool DocumentCommands::confirmOverwrite()
{
    const DefinitionDocument& doc = session_.document();
    platform::FileStamp now;
    switch (session_.diskChange(&now)) {
    case DiskChange::NotRegular:
        throw MessageError(NotRegularMessage(doc.currentFile()));
    case DiskChange::Changed:
        if (!questions_.confirmNoDefault(FileNameText(ReplaceChangedQuestion(doc))))
            return false;
        session_.acceptDiskChange(now);
        return true;
    case DiskChange::None:
    case DiskChange::Gone:
        break;
    }
    return true;
}

CommandStatus DocumentCommands::reread()
{
    std::string notice;
    CommandStatus status = RunCommand([&] {
        const DefinitionDocument& doc = session_.document();
        if (session_.modified() && !questions_.confirmNoDefault(FileNameText(RereadQuestion(doc))))
            return false;
        ReadReport report;
        const bool changed = session_.reread(hooks_.viewState(), &report);
        ignoredLines_.read(doc.currentFile(), report.ignoredLines);
        // A file only touched reads as it was: nothing to tell.
        if (changed)
            notice = RereadNotice(doc);
        return true;
    });
    status.notice = std::move(notice);
    return status;
}

}  // namespace qel::app
