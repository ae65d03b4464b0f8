#pragma once
// The editor's one window: it assembles the four sections (each holding its
// own handlers and controls), the menu, the tool bar, the status bar, the
// timers and the dialogs, links the sections to each other, and binds its
// commands to the document commands (app/DocumentCommands), which ask their
// questions in its dialogs; a failure a command returns is shown here.
// The window owns the document session; the prompter, the settings store,
// the process launcher and the desktop services are handed in, so that tests
// answer every dialog and never touch the user's settings.
//
// Its controls are private: tests find them by their names, as a user's
// script would (findChild<QAction*>("Undo1")).

#include <QMainWindow>
#include <memory>

#include "app/AppSettings.h"
#include "app/DocumentCommands.h"
#include "app/DocumentSession.h"
#include "app/ObjectCommands.h"
#include "app/RecentFiles.h"
#include "app/RecoveryStore.h"
#include "platform/RecoveryDisk.h"
#include "ui/Guarded.h"
#include "ui/WindowDialogs.h"
#include "ui/WindowServices.h"

class QDialog;
class QTimer;

namespace qel::platform {
class Clipboard;
class FileOperations;
class PictureService;
class ProcessLauncher;
class SettingsStore;
class SoundService;
}  // namespace qel::platform

namespace qel {
enum class ProblemPlace;
}
namespace qel::app {
class ProblemMonitor;
}

namespace qel::ui {
class DiskFollower;
class FileListModel;
class FileSection;
class HelpViewer;
class ImageSection;
class MainMenus;
class MainStatusBar;
class MapViewOpener;
class ObjectActions;
class ObjectListModel;
class ObjectsSection;
class PreviewSection;
class ProblemsOpener;
class CompilerOutput;
class RecentFilesMenu;
}  // namespace qel::ui

class TMainFrm : public QMainWindow {
    Q_OBJECT
public:
    TMainFrm(qel::ui::Prompter& prompter, qel::platform::SettingsStore& store, qel::platform::ProcessLauncher& launcher,
             const qel::ui::WindowServices& services = {}, QWidget* parent = nullptr);
    ~TMainFrm() override;

    // Creates the Sort Objects, Options and About dialogs, hidden, in that
    // order; they read the window's state, so the window comes first.
    void CreateDialogs();

    const qel::DefinitionDocument& document() const { return session_.document(); }
    qel::app::DocumentSession& session() { return session_; }
    qel::app::AppSettings& settings() { return settings_; }
    const QString& programFolder() const { return programFolder_; }

    // Commands.
    void NewExecute();
    void aOpenExecute();
    void SaveExecute();
    void SaveAsExecute();
    void ExitExecute();
    void CompileExecute();
    void Options1Click();
    void QelHelp1Click();
    void About1Click();
    void SortObjectsClick();
    void UndoExecute();
    void RedoExecute();
    // View > "Map View": opens the map window, or raises it.
    void MapView1Click();
    // The periodic refresh: each section's part of it.
    void TimerTimer();

    // Empties the document and returns every control to its start.
    void ResetDocument();

    // New, Open, Save, Save As and Compile, for the drop handler and start-up
    // as for the window's own commands.
    qel::app::DocumentCommands& commands() { return *commands_; }
    // The commands on the object lists, as every view of them calls them.
    qel::app::ObjectCommands& objectCommands() { return *objectCommands_; }
    // The commands that take no dialog, with a failure shown in the error box.
    void OpenPath(const QString& path);
    // File > Open Recent: asks about unsaved changes first; a file that is
    // gone leaves the list.
    void OpenRecent(const QString& path);
    qel::app::RecentFiles& recentFiles() { return recent_; }
    void OfferUntitledRecovery();
    qel::app::RecoveryStore& recovery() { return *recovery_; }

    // Runs a handler; a failure ends it and is shown in the error box.
    // True when the handler ran to its end.
    template <class Handler>
    bool guarded(Handler&& handler)
    {
        return qel::ui::Guarded(prompter_, this, std::forward<Handler>(handler));
    }

    // Files dragged onto the window open or are added (see DropHandler).
    void AcceptDrops();

    TSortFrm* SortFrm() const { return dialogs_ ? dialogs_->sort() : nullptr; }
    TOptnsForm* OptnsForm() const { return dialogs_ ? dialogs_->options() : nullptr; }
    TAboutFrm* AboutFrm() const { return dialogs_ ? dialogs_->about() : nullptr; }

    qel::ui::ObjectListModel* mapObjectModel() const;
    qel::ui::ObjectListModel* screenObjectModel() const;
    qel::ui::FileListModel* fileModel() const;

    // The Problems window (View > Problems) and the counts at the status
    // bar's right end, which open it.
    void ShowProblems();
    qel::app::ProblemMonitor& problemMonitor();
    // Follows the disk under the open definition (files changed by other
    // programs).
    qel::ui::DiskFollower& diskFollower() { return *diskFollower_; }

signals:
    // The window closed for good: the editor ends with it. Every other
    // window of the editor is closed already.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    // The timers and the four sections, with the object commands they call.
    void BuildSections(QWidget& inner, const qel::ui::WindowServices& services);
    // The status bar, the recovery copies and the document commands.
    void BuildDocumentCommands();
    // How the sections and the windows beside them talk to each other.
    void LinkSections();
    void BuildDiskFollower();
    // Makes the cause of a problem current in its section.
    void ShowProblemCause(qel::ProblemPlace place, int row);
    // Title and status bar from the document state.
    void ShowDocumentState();
    // Shows how a command ended; true when it was done.
    bool ShowStatus(const qel::app::CommandStatus& status);
    // One of the dialogs, once they were made.
    void ShowDialog(QDialog* dialog);
    // Recent files and the compiler's window, and what the commands tell
    // them.
    void BuildFileFollowers();
    // A passing message over the status bar, for a few seconds.
    void Tell(const QString& message);
    // The Edit menu's commands on many objects and the lists' context menus.
    void LinkObjectActions();
    // The status bar's count of the selected objects of the list in view.
    void ShowSelectionCount();

    qel::ui::Prompter& prompter_;
    qel::platform::SettingsStore& store_;
    qel::platform::ProcessLauncher& launcher_;
    QString compilerLogFolder_;
    qel::app::DocumentSession session_;
    qel::app::AppSettings settings_;
    qel::app::RecentFiles recent_{store_};
    QString programFolder_;
    // The services not handed in, and the ones in use.
    std::unique_ptr<qel::platform::FileOperations> ownFiles_;
    std::unique_ptr<qel::platform::PictureService> ownPictures_;
    std::unique_ptr<qel::platform::SoundService> ownSound_;
    qel::platform::FileOperations* files_;
    qel::platform::PictureService* pictures_;
    qel::platform::SoundService* sound_;
    std::unique_ptr<qel::platform::Clipboard> ownClipboard_;
    qel::platform::Clipboard* clipboard_;
    qel::ui::ObjectActions* objectActions_ = nullptr;
    std::unique_ptr<qel::ui::HelpViewer> helpViewer_;
    std::unique_ptr<qel::ui::WindowDialogs> dialogs_;
    bool centredOnce_ = false;
    // The status bar's selection count, and whether a change made it stale.
    bool selectionCountStale_ = true;
    qel::ObjectKind countedKind_ = qel::ObjectKind::Map;
    // The copies' place on disk outlives the store that writes there.
    qel::platform::DiskRecoveryFolder recoveryDisk_;
    // After the session: it goes first, while the document it copies is whole.
    std::unique_ptr<qel::app::RecoveryStore> recovery_;
    qel::ui::PromptedQuestions questions_{prompter_, this};
    std::unique_ptr<qel::app::DocumentCommands> commands_;
    std::unique_ptr<qel::app::ObjectCommands> objectCommands_;

    qel::ui::MainMenus* menus_;
    qel::ui::MainStatusBar* Status;
    qel::ui::FileSection* fileSection;
    qel::ui::ImageSection* imageSection;
    qel::ui::PreviewSection* previewSection;
    qel::ui::ObjectsSection* objectsSection;
    QTimer* Timer;
    QTimer* AnimTimer;
    qel::ui::RecentFilesMenu* recentMenu_ = nullptr;
    qel::ui::CompilerOutput* compilerOutput_ = nullptr;

    // Declared last so that they go first: they follow the session.
    std::unique_ptr<qel::ui::MapViewOpener> mapViewOpener_;
    std::unique_ptr<qel::ui::ProblemsOpener> problems_;
    // Reads everything above.
    std::unique_ptr<qel::ui::DiskFollower> diskFollower_;
};
