#include "ui/TMainFrm.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLayout>
#include <QMenu>
#include <QScreen>
#include <QTimer>

#include "app/CompilerRun.h"
#include "app/DocumentFiles.h"
#include "app/ProblemMonitor.h"
#include "core/Errors.h"
#include "platform/Clipboard.h"
#include "platform/FileNameText.h"
#include "platform/FileOperations.h"
#include "platform/PictureService.h"
#include "platform/ProcessLauncher.h"
#include "platform/SoundService.h"
#include "ui/CompilerOutput.h"
#include "ui/Controls.h"
#include "ui/DiskFollower.h"
#include "ui/DropHandler.h"
#include "ui/FileSection.h"
#include "ui/HelpViewer.h"
#include "ui/ImageSection.h"
#include "ui/Latin1Text.h"
#include "ui/MainMenus.h"
#include "ui/MainStatusBar.h"
#include "ui/MapViewOpener.h"
#include "ui/ObjectActions.h"
#include "ui/ObjectListView.h"
#include "ui/ObjectsSection.h"
#include "ui/PreviewSection.h"
#include "ui/ProblemsOpener.h"
#include "ui/Prompter.h"
#include "ui/RecentFilesMenu.h"
#include "ui/TAboutFrm.h"
#include "ui/TOptnsForm.h"
#include "ui/TSortFrm.h"
#include "ui/WindowPlacement.h"

using qel::ui::FromBytes;

namespace {

constexpr int kInnerWidth = 683;
constexpr int kInnerHeight = 468;
constexpr int kMessageMs = 5000;

}  // namespace

TMainFrm::TMainFrm(qel::ui::Prompter& prompter, qel::platform::SettingsStore& store,
                   qel::platform::ProcessLauncher& launcher, const qel::ui::WindowServices& services, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      prompter_(prompter),
      store_(store),
      launcher_(launcher),
      compilerLogFolder_(services.compilerLogFolder.isEmpty() ? qel::platform::CompilerLogFolder()
                                                              : services.compilerLogFolder),
      settings_(store),
      programFolder_(QCoreApplication::applicationDirPath()),
      ownFiles_(services.files ? nullptr : std::make_unique<qel::platform::QtFileOperations>()),
      ownPictures_(services.pictures ? nullptr : std::make_unique<qel::platform::QtPictureService>()),
      ownSound_(services.sound ? nullptr : std::make_unique<qel::platform::QtSoundService>()),
      files_(services.files ? services.files : ownFiles_.get()),
      pictures_(services.pictures ? services.pictures : ownPictures_.get()),
      sound_(services.sound ? services.sound : ownSound_.get()),
      ownClipboard_(services.clipboard ? nullptr : std::make_unique<qel::platform::QtClipboard>()),
      clipboard_(services.clipboard ? services.clipboard : ownClipboard_.get())
{
    if (!programFolder_.endsWith(QLatin1Char('/')))
        programFolder_ += QLatin1Char('/');
    // The pictures live in a static library: make sure they are linked in.
    Q_INIT_RESOURCE(resources);
    setObjectName(QStringLiteral("MainFrm"));
    setFont(qel::ui::ControlFont());

    // The inner area below the menu: tool bar, the four sections and the
    // status bar, at fixed places.
    auto* inner = new QWidget(this);
    inner->setObjectName(QStringLiteral("InnerArea"));
    inner->setFixedSize(kInnerWidth, kInnerHeight - qel::ui::MainStatusBar::kHeight);
    setCentralWidget(inner);

    menus_ = new qel::ui::MainMenus(
        *this, *inner, session_,
        {.newDocument = [this] { NewExecute(); },
         .open = [this] { aOpenExecute(); },
         .save = [this] { SaveExecute(); },
         .saveAs = [this] { SaveAsExecute(); },
         .exit = [this] { ExitExecute(); },
         .compile = [this] { CompileExecute(); },
         .undo = [this] { UndoExecute(); },
         .redo = [this] { RedoExecute(); },
         .options = [this] { Options1Click(); },
         .help = [this] { QelHelp1Click(); },
         .about = [this] { About1Click(); },
         .cut =
             [this] {
                 const qel::ObjectKind kind = objectsSection->ShownKind();
                 objectActions_->cut(kind, objectActions_->selectedRows(kind));
             },
         .copy = [this] { objectActions_->copy(objectsSection->ShownKind()); },
         .paste = [this] { objectActions_->paste(objectsSection->ShownKind()); },
         .duplicate = [this] { objectActions_->duplicate(objectsSection->ShownKind()); },
         .remove = [this] { objectsSection->DelObjectClick(); },
         .selectAll =
             [this] {
                 // The file list keeps its own Select All.
                 auto* view = qobject_cast<QAbstractItemView*>(QApplication::focusWidget());
                 if (view && !qobject_cast<qel::ui::ObjectListView*>(view))
                     return view->selectAll();
                 objectActions_->selectAll(objectsSection->ShownKind());
             },
         .selectUsingImage = [this] { objectActions_->selectUsingImage(objectsSection->ShownKind()); }});

    BuildSections(*inner, services);

    BuildDocumentCommands();

    connect(&session_, &qel::app::DocumentSession::documentStateChanged, this, &TMainFrm::ShowDocumentState);

    helpViewer_ = std::make_unique<qel::ui::HelpViewer>(this);

    FormCreate();
    LinkSections();
    BuildDiskFollower();
    BuildFileFollowers();
    menus_->installHistoryKeys(*this);
    Timer->start();
    AnimTimer->start();
}

void TMainFrm::BuildSections(QWidget& inner, const qel::ui::WindowServices& services)
{
    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(100);
    AnimTimer = new QTimer(this);
    AnimTimer->setObjectName(QStringLiteral("AnimTimer"));
    AnimTimer->setInterval(1000);
    // Cells keep their rhythm: a coarse timer may stray by 5% of each interval.
    AnimTimer->setTimerType(Qt::PreciseTimer);
    connect(Timer, &QTimer::timeout, this, &TMainFrm::TimerTimer);

    // Made in this order, which is also the order the focus moves in. What
    // one section asks of another is read when it is needed.
    fileSection = new qel::ui::FileSection(
        session_, prompter_, settings_, *files_, [this] { return imageSection->SelectedImage(); }, &inner);
    imageSection = new qel::ui::ImageSection(
        session_, prompter_, [this] { return objectsSection->CurrentViewState(); }, &inner);
    previewSection = new qel::ui::PreviewSection(
        session_, prompter_, *pictures_, *sound_, *files_,
        services.soundCopyFolder.isEmpty() ? programFolder_ : services.soundCopyFolder, *AnimTimer, &inner);
    objectCommands_ =
        std::make_unique<qel::app::ObjectCommands>(session_, questions_, *clipboard_, *files_, *pictures_);
    objectsSection = new qel::ui::ObjectsSection(session_, *objectCommands_, prompter_, &inner);
}

void TMainFrm::BuildDocumentCommands()
{
    Status = new qel::ui::MainStatusBar(this);
    setStatusBar(Status);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    recovery_ = std::make_unique<qel::app::RecoveryStore>(session_, recoveryDisk_, qel::app::RecoveryStore::Options{});
    commands_ = std::make_unique<qel::app::DocumentCommands>(
        session_, *recovery_, settings_, *files_, questions_,
        qel::app::DocumentCommands::Hooks{[this] { ResetDocument(); },
                                          [this] { return objectsSection->CurrentViewState(); }});
    Status->followRecovery(*recovery_, prompter_);
}

TMainFrm::~TMainFrm()
{
    // The sections' views and models read the session, which goes before the
    // window's children would: let them go first, the map view (which shares
    // the object lists' selections) before them.
    mapViewOpener_.reset();
    delete objectsSection;
    delete previewSection;
    delete imageSection;
    delete fileSection;
}

qel::ui::ObjectListModel* TMainFrm::mapObjectModel() const
{
    return objectsSection->mapModel();
}

qel::ui::ObjectListModel* TMainFrm::screenObjectModel() const
{
    return objectsSection->screenModel();
}

qel::ui::FileListModel* TMainFrm::fileModel() const
{
    return fileSection->model();
}

void TMainFrm::MapView1Click()
{
    mapViewOpener_->show();
}

void TMainFrm::ShowProblems()
{
    problems_->show();
}

qel::app::ProblemMonitor& TMainFrm::problemMonitor()
{
    return problems_->monitor();
}

void TMainFrm::AcceptDrops()
{
    new qel::ui::DropHandler(*this, *fileSection, *commands_, prompter_);
}

void TMainFrm::UndoExecute()
{
    guarded([this] { session_.undo(); });
}

void TMainFrm::RedoExecute()
{
    guarded([this] { session_.redo(); });
}

void TMainFrm::TimerTimer()
{
    objectsSection->followImageItems(imageSection->imageItems());
    imageSection->Refresh();
    objectsSection->Refresh();
    fileSection->Refresh();
    ShowSelectionCount();
}

void TMainFrm::FormCreate()
{
    ShowDocumentState();
    for (const std::string& message : settings_.load())
        prompter_.error(this, FromBytes(qel::WithFullStop(message)));
}

void TMainFrm::ShowDocumentState()
{
    // Unsaved work shows before anything else in the title.
    const QString unsaved = session_.modified() ? QStringLiteral("*") : QString();
    setWindowTitle(unsaved + qel::FileNameText(qel::app::WindowTitle(document())));
    Status->showFile(qel::FileNameText(qel::app::StatusText(document())));
}

void TMainFrm::ResetDocument()
{
    session_.newDocument();
    fileSection->ResetControls();
    imageSection->ResetControls();
    objectsSection->ResetControls();
    previewSection->ResetControls();
}

void TMainFrm::NewExecute()
{
    ShowStatus(commands_->newDocument());
}

void TMainFrm::aOpenExecute()
{
    ShowStatus(commands_->open());
}

void TMainFrm::SaveExecute()
{
    if (ShowStatus(commands_->save()))
        Tell(QStringLiteral("Saved ") + qel::FileNameText(qel::app::DocumentDisplayName(document())));
}

void TMainFrm::SaveAsExecute()
{
    if (ShowStatus(commands_->saveAs()))
        Tell(QStringLiteral("Saved ") + qel::FileNameText(qel::app::DocumentDisplayName(document())));
}

void TMainFrm::ExitExecute()
{
    close();
}

void TMainFrm::CompileExecute()
{
    if (ShowStatus(commands_->compile()))
        Tell(QStringLiteral("Compiling ") + qel::FileNameText(qel::app::DocumentDisplayName(document()))
             + QStringLiteral("..."));
}

void TMainFrm::Tell(const QString& message)
{
    Status->showMessage(message, kMessageMs);
}

void TMainFrm::OpenPath(const QString& path)
{
    ShowStatus(commands_->open(qel::FileNameBytes(path)));
}

void TMainFrm::OfferUntitledRecovery()
{
    ShowStatus(commands_->offerUntitledRecovery());
}

bool TMainFrm::ShowStatus(const qel::app::CommandStatus& status)
{
    return qel::ui::ShowStatus(prompter_, this, status);
}

void TMainFrm::Options1Click()
{
    guarded([this] { ShowDialog(OptnsForm()); });
}

void TMainFrm::QelHelp1Click()
{
    guarded([this] { helpViewer_->showHelp(); });
}

void TMainFrm::About1Click()
{
    guarded([this] { ShowDialog(AboutFrm()); });
}

void TMainFrm::SortObjectsClick()
{
    guarded([this] {
        if (TSortFrm* dialog = SortFrm())
            dialog->prepare(objectsSection->ShownKind(), document().mapObjectCount(), document().screenObjectCount());
        ShowDialog(SortFrm());
    });
}

void TMainFrm::ShowDialog(QDialog* dialog)
{
    if (dialog)
        dialogs_->show(dialog);
}

void TMainFrm::closeEvent(QCloseEvent* event)
{
    // While a dialog is open the window takes no input, closing included.
    if (!isEnabled() || !ShowStatus(commands_->querySaveChanges())) {
        event->ignore();
        return;
    }
    previewSection->FormClose();
    event->accept();
    // The editor ends with this window, whatever else is open: a map view
    // left alone would keep the process alive with nothing to show for it.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible() && !window->close())
            window->hide();
    }
    emit closed();
}

void TMainFrm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (centredOnce_)
        return;
    centredOnce_ = true;
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    qel::ui::PlaceOnScreen(*this);
}
