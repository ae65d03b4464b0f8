#include <QFileInfo>

#include "DiskFollower.h"
#include "DocumentFiles.h"
#include "Errors.h"
#include "FileIo.h"
#include "FileNameText.h"
#include "Guarded.h"
#include "Prompter.h"
#include "TMainFrm.h"

namespace {

const QString kOpenFilter = QStringLiteral("INI-Files (*.ini)");
const QString kSaveFilter = QStringLiteral("INI-File (*.ini)");

}  // namespace

bool TMainFrm::QuerySaveChanges()
{
    if (!session_.modified())
        return true;
    const QString question = qel::FileNameText(qel::app::SaveChangesQuestion(document()));
    switch (prompter_.askSaveChanges(this, question)) {
    case qel::ui::SaveChangesAnswer::Yes:
        return SaveCommand();
    case qel::ui::SaveChangesAnswer::No:
        recovery_->discard();
        return true;
    case qel::ui::SaveChangesAnswer::Cancel:
        break;
    }
    return false;
}

bool TMainFrm::ConfirmSave(const std::string& target, bool replacing)
{
    // Lines of the file read that the save drops are the more telling
    // question; it stands for the replacing too.
    if (const std::optional<std::string> question = ignoredLines_.question(target))
        return prompter_.confirmNoDefault(this, qel::FileNameText(*question));
    if (replacing && QFileInfo(qel::FileNameText(target)).exists())
        return prompter_.confirm(this, qel::FileNameText(qel::app::ReplaceQuestion(target)));
    return true;
}

bool TMainFrm::SaveCommand()
{
    const std::string target = document().currentFile();
    if (target.empty())
        return SaveAsCommand();
    if (!diskFollower_->confirmOverwrite() || !ConfirmSave(target, false))
        return false;
    if (!guarded([this] { session_.save(); }))
        return false;
    ignoredLines_.saved(target);
    return true;
}

bool TMainFrm::SaveAsCommand()
{
    const QString chosen = prompter_.saveFile(this, kSaveFilter);
    const std::string target = qel::app::SaveAsTarget(qel::FileNameBytes(chosen));
    if (target.empty() || !ConfirmSave(target, true))
        return false;
    // A failed write still names the file it tried, as the title shows.
    if (!guarded([&] { session_.saveAs(target); }))
        return false;
    ignoredLines_.saved(target);
    return true;
}

void TMainFrm::OpenCommand()
{
    if (!QuerySaveChanges())
        return;
    const QString chosen = prompter_.openFile(this, kOpenFilter);
    if (chosen.isEmpty())
        return;
    ReadFile(chosen);
}

void TMainFrm::OpenPath(const QString& path)
{
    guarded([&] { ReadFile(path); });
}

void TMainFrm::ReadFile(const QString& chosen)
{
    ResetDocument();
    // What was read before a failure stays on screen, Untitled.
    const std::string path = qel::FileNameBytes(chosen);
    // A save that died part way may have left the file incomplete; the copy
    // of its old content stays until the user says what to do with it.
    if (const std::optional<std::string> copy = qel::FindInterruptedSave(path)) {
        if (prompter_.confirmNoDefault(this, qel::FileNameText(qel::app::InterruptedSaveQuestion(path, *copy))))
            guarded([&] { qel::RestoreInterruptedSave(path, *copy); });
    }
    qel::ReadReport report;
    std::exception_ptr failure;
    try {
        session_.open(path, &report);
    } catch (...) {
        failure = std::current_exception();
    }
    ignoredLines_.read(path, report.ignoredLines);
    if (report.ignoredLines > 0)
        prompter_.information(
            this, qel::FileNameText(qel::app::IgnoredLinesNotice(report.ignoredLines, path, report.firstIgnoredLine)));
    if (failure) {
        // Unsaved work on a file that no longer reads is worth the most.
        OfferRecovery(path);
        std::rethrow_exception(failure);
    }
    OfferRecovery(path);
}

void TMainFrm::OfferUntitledRecovery()
{
    guarded([this] {
        if (!session_.modified() && document().currentFile().empty())
            OfferRecovery({});
    });
}

void TMainFrm::OfferRecovery(const std::string& path)
{
    std::vector<std::string> problems;
    std::vector<qel::app::RecoveryOffer> offers = recovery_->find(path, problems);
    for (const std::string& problem : problems)
        prompter_.error(this, qel::FileNameText(problem));
    bool taken = false;
    for (const qel::app::RecoveryOffer& offer : offers) {
        if (taken) {
            recovery_->pass(offer);
        } else if (prompter_.confirm(this, qel::app::RecoveryQuestion(offer))) {
            // What was read stays out of the history: the recovered work is
            // unsaved, and nothing is written until the user saves.
            session_.adoptRecovered(recovery_->recover(offer));
            taken = true;
        } else {
            recovery_->decline(offer);
        }
    }
}

namespace qel::ui {

bool DiskFollower::confirmOverwrite()
{
    bool go = false;
    Guarded(prompter_, &window_, [&] {
        const DefinitionDocument& doc = session_.document();
        switch (session_.diskChange()) {
        case app::DiskChange::NotRegular:
            throw MessageError(app::NotRegularMessage(doc.currentFile()));
        case app::DiskChange::Changed:
            go = prompter_.confirmNoDefault(&window_, FileNameText(app::ReplaceChangedQuestion(doc)));
            return;
        case app::DiskChange::None:
        case app::DiskChange::Gone:
            go = true;
            return;
        }
    });
    return go;
}

}  // namespace qel::ui
