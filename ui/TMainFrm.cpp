#include "TMainFrm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

#include "Controls.h"
#include "DiskFollower.h"
#include "DocumentFiles.h"
#include "DropHandler.h"
#include "Errors.h"
#include "FileListModel.h"
#include "FileNameText.h"
#include "FileOperations.h"
#include "FileSection.h"
#include "HelpViewer.h"
#include "HistoryKeyFilter.h"
#include "ImageSection.h"
#include "Latin1Text.h"
#include "MapSessionEditor.h"
#include "MapView.h"
#include "ObjectListModel.h"
#include "ObjectsSection.h"
#include "PictureService.h"
#include "PreviewSection.h"
#include "ProblemMonitor.h"
#include "ProblemPictures.h"
#include "ProblemsView.h"
#include "Prompter.h"
#include "SoundService.h"
#include "TAboutFrm.h"
#include "TOptnsForm.h"
#include "TSortFrm.h"

using qel::ui::FromBytes;

namespace {

constexpr int kInnerWidth = 683;
constexpr int kInnerHeight = 468;
constexpr int kStatusHeight = 19;
constexpr int kToolBarHeight = 28;

QIcon CommandIcon(const QString& name)
{
    return qel::ui::PictureIcon(QStringLiteral(":/icons/%1.png").arg(name));
}

// A status text that shows as much as fits, eliding its middle: the reason at
// its end says as much as its start. The whole is in the tooltip.
class ElidedStatus : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect room = contentsRect();
        painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideMiddle, room.width()));
    }
};

}  // namespace

TMainFrm::TMainFrm(qel::ui::Prompter& prompter, qel::platform::SettingsStore& store,
                   qel::platform::ProcessLauncher& launcher, const qel::ui::WindowServices& services, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      prompter_(prompter),
      store_(store),
      launcher_(launcher),
      settings_(store),
      programFolder_(QCoreApplication::applicationDirPath()),
      ownFiles_(services.files ? nullptr : std::make_unique<qel::platform::QtFileOperations>()),
      ownPictures_(services.pictures ? nullptr : std::make_unique<qel::platform::QtPictureService>()),
      ownSound_(services.sound ? nullptr : std::make_unique<qel::platform::QtSoundService>()),
      files_(services.files ? services.files : ownFiles_.get()),
      pictures_(services.pictures ? services.pictures : ownPictures_.get()),
      sound_(services.sound ? services.sound : ownSound_.get())
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
    inner->setFixedSize(kInnerWidth, kInnerHeight - kStatusHeight);
    setCentralWidget(inner);

    BuildCommands();
    BuildMenu();
    BuildToolBar(inner);

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(100);
    AnimTimer = new QTimer(this);
    AnimTimer->setObjectName(QStringLiteral("AnimTimer"));
    AnimTimer->setInterval(1000);
    // Cells keep their rhythm: a coarse timer may stray by 5% of each interval.
    AnimTimer->setTimerType(Qt::PreciseTimer);

    // Made in this order, which is also the order the focus moves in. What
    // one section asks of another is read when it is needed.
    fileSection = new qel::ui::FileSection(
        session_, prompter_, settings_, *files_, [this] { return imageSection->SelectedImage(); }, inner);
    imageSection = new qel::ui::ImageSection(
        session_, prompter_, [this] { return objectsSection->CurrentViewState(); }, inner);
    previewSection = new qel::ui::PreviewSection(
        session_, prompter_, *pictures_, *sound_, *files_,
        services.soundCopyFolder.isEmpty() ? programFolder_ : services.soundCopyFolder, *AnimTimer, inner);
    objectsSection = new qel::ui::ObjectsSection(session_, prompter_, *pictures_, inner);

    Status = statusBar();
    Status->setObjectName(QStringLiteral("Status"));
    Status->setSizeGripEnabled(false);
    Status->setFixedHeight(kStatusHeight);
    StatusPanel = new QLabel(Status);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    Status->addWidget(StatusPanel, 1);

    layout()->setSizeConstraint(QLayout::SetFixedSize);

    recovery_ = std::make_unique<qel::app::RecoveryStore>(session_, qel::app::RecoveryStore::Options{});
    commands_ = std::make_unique<qel::app::DocumentCommands>(
        session_, *recovery_, settings_, launcher_, questions_,
        qel::app::DocumentCommands::Hooks{[this] { ResetDocument(); },
                                          [this] { return objectsSection->CurrentViewState(); }});
    // Work at risk is said in the status bar for as long as it is, and once
    // in a box for each document. A label of its own: a passing status tip
    // would wipe a status bar message, and its width never widens the window.
    auto* recoveryStatus = new ElidedStatus(Status);
    recoveryStatus->setObjectName(QStringLiteral("RecoveryStatus"));
    recoveryStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    recoveryStatus->hide();
    Status->addWidget(recoveryStatus, 2);
    connect(recovery_.get(), &qel::app::RecoveryStore::protectionFailed, this,
            [this, recoveryStatus](const QString& reason, bool first) {
                const QString text = QStringLiteral("Unsaved work is not protected: ") + reason;
                recoveryStatus->setText(text);
                recoveryStatus->setToolTip(text);
                recoveryStatus->show();
                if (first)
                    prompter_.error(this, text + QLatin1Char('.'));
            });
    connect(recovery_.get(), &qel::app::RecoveryStore::protectionRestored, recoveryStatus, [recoveryStatus] {
        recoveryStatus->hide();
        recoveryStatus->clear();
    });

    connect(Timer, &QTimer::timeout, this, &TMainFrm::TimerTimer);
    connect(&session_, &qel::app::DocumentSession::documentStateChanged, this, &TMainFrm::ShowDocumentState);
    connect(&session_, &qel::app::DocumentSession::historyChanged, this, &TMainFrm::ShowHistory);
    ShowHistory();

    helpViewer_ = std::make_unique<qel::ui::HelpViewer>(this);

    FormCreate();
    LinkSections();
    BuildDiskFollower();
    BuildProblems();
    qel::ui::HistoryKeyFilter::InstallOn(*this, Undo1, Redo1);
    Timer->start();
    AnimTimer->start();
}

TMainFrm::~TMainFrm()
{
    // The sections' views and models read the session, which goes before the
    // window's children would: let them go first, the map view (which shares
    // the object lists' selections) before them.
    delete mapView_;
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

void TMainFrm::LinkSections()
{
    using namespace qel::ui;
    connect(fileSection, &FileSection::FileListClicked, previewSection,
            [this] { previewSection->FileListClick(fileSection->FocusedEntry()); });
    connect(fileSection, &FileSection::pictureHideRequested, previewSection, &PreviewSection::HidePicture);
    connect(imageSection, &ImageSection::animationPictureHideRequested, previewSection,
            &PreviewSection::HideAnimationPicture);
    connect(imageSection, &ImageSection::animationRequested, previewSection, &PreviewSection::AniPreviewClick);
    connect(imageSection, &ImageSection::imageItemsReplaced, objectsSection, &ObjectsSection::setImageItems);
    connect(objectsSection, &ObjectsSection::sortDialogRequested, this, &TMainFrm::SortObjectsClick);
}

void TMainFrm::AcceptDrops()
{
    new qel::ui::DropHandler(*this, *fileSection, *commands_, prompter_);
}

void TMainFrm::BuildCommands()
{
    struct Command {
        QAction*& action;
        const char* name;
        const char* caption;
        const char* toolCaption;
        const char* icon;
        void (TMainFrm::*handler)();
    };
    const Command commands[] = {
        {New, "New", "New", "&New", "new", &TMainFrm::NewExecute},
        {aOpen, "aOpen", "Open", "&Open", "open", &TMainFrm::aOpenExecute},
        {Save, "Save", "Save", "&Save", "save", &TMainFrm::SaveExecute},
        {SaveAs, "SaveAs", "Save As...", "Save As...", "saveas", &TMainFrm::SaveAsExecute},
        {Exit, "Exit", "Exit", "Exit", "exit", &TMainFrm::ExitExecute},
        {Compile, "Compile", "Compile", "&Compile", "compile", &TMainFrm::CompileExecute},
    };
    for (const Command& command : commands) {
        command.action =
            new QAction(CommandIcon(QString::fromLatin1(command.icon)), QString::fromLatin1(command.caption), this);
        command.action->setObjectName(QString::fromLatin1(command.name));
        // The tool bar shows its own caption with an access key.
        command.action->setIconText(QString::fromLatin1(command.toolCaption));
        connect(command.action, &QAction::triggered, this, command.handler);
    }
}

void TMainFrm::BuildMenu()
{
    QMenuBar* menu = menuBar();
    menu->setObjectName(QStringLiteral("MainMenu"));

    File1 = menu->addMenu(QStringLiteral("File"));
    File1->setObjectName(QStringLiteral("File1"));
    // Each entry stands for its command's one action: it triggers it and is
    // enabled with it; only its caption is its own.
    struct Entry {
        QAction*& entry;
        const char* name;
        QAction* command;
    };
    const Entry fileEntries[] = {
        {New1, "New1", New},          {Open1, "Open1", aOpen}, {Save1, "Save1", Save},
        {SaveAs1, "SaveAs1", SaveAs}, {Exit1, "Exit1", Exit},
    };
    for (const Entry& e : fileEntries) {
        QAction* command = e.command;
        e.entry = File1->addAction(command->icon(), command->text());
        e.entry->setObjectName(QString::fromLatin1(e.name));
        connect(e.entry, &QAction::triggered, command, &QAction::trigger);
        connect(command, &QAction::changed, e.entry,
                [entry = e.entry, command] { entry->setEnabled(command->isEnabled()); });
    }

    BuildEditMenu();
    BuildViewMenu();
    BuildMapViewEntry();

    Options1 = menu->addAction(QStringLiteral("Options"));
    Options1->setObjectName(QStringLiteral("Options1"));
    connect(Options1, &QAction::triggered, this, &TMainFrm::Options1Click);

    Help1 = menu->addMenu(QStringLiteral("Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    QelHelp1 = Help1->addAction(CommandIcon(QStringLiteral("help")), QStringLiteral("Qel Help"));
    QelHelp1->setObjectName(QStringLiteral("QelHelp1"));
    connect(QelHelp1, &QAction::triggered, this, &TMainFrm::QelHelp1Click);
    About1 = Help1->addAction(CommandIcon(QStringLiteral("about")), QStringLiteral("About..."));
    About1->setObjectName(QStringLiteral("About1"));
    connect(About1, &QAction::triggered, this, &TMainFrm::About1Click);
}

void TMainFrm::BuildToolBar(QWidget* inner)
{
    // A raised edge on all four sides around the tool bar.
    auto* edge = new QFrame(inner);
    edge->setObjectName(QStringLiteral("ActionToolBar1Edge"));
    edge->setFrameStyle(QFrame::Panel | QFrame::Raised);
    edge->setLineWidth(1);
    edge->setGeometry(0, 0, kInnerWidth, kToolBarHeight);
    auto* edgeLayout = new QHBoxLayout(edge);
    edgeLayout->setContentsMargins(1, 1, 1, 1);

    ActionToolBar1 = new QToolBar(edge);
    ActionToolBar1->setObjectName(QStringLiteral("ActionToolBar1"));
    ActionToolBar1->setMovable(false);
    ActionToolBar1->setFloatable(false);
    ActionToolBar1->setIconSize(QSize(16, 16));
    ActionToolBar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ActionToolBar1->setFocusPolicy(Qt::NoFocus);
    for (QAction* action : {New, aOpen, Save, SaveAs, Compile})
        ActionToolBar1->addAction(action);
    edgeLayout->addWidget(ActionToolBar1);
}

void TMainFrm::BuildEditMenu()
{
    Edit1 = menuBar()->addMenu(QStringLiteral("Edit"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Undo1 = Edit1->addAction(QStringLiteral("Undo"));
    Undo1->setObjectName(QStringLiteral("Undo1"));
    Undo1->setShortcut(QKeySequence::Undo);
    connect(Undo1, &QAction::triggered, this, &TMainFrm::UndoExecute);
    Redo1 = Edit1->addAction(QStringLiteral("Redo"));
    Redo1->setObjectName(QStringLiteral("Redo1"));
    Redo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(Redo1, &QAction::triggered, this, &TMainFrm::RedoExecute);
}

void TMainFrm::BuildViewMenu()
{
    View1 = menuBar()->addMenu(QStringLiteral("View"));
    View1->setObjectName(QStringLiteral("View1"));
    // Shown once it has an entry.
    View1->menuAction()->setVisible(false);
}

void TMainFrm::AddViewEntry(QAction* entry)
{
    View1->addAction(entry);
    View1->menuAction()->setVisible(true);
}

void TMainFrm::BuildMapViewEntry()
{
    MapView1 = new QAction(QStringLiteral("Map View"), this);
    MapView1->setObjectName(QStringLiteral("MapView1"));
    MapView1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    connect(MapView1, &QAction::triggered, this, [this] { guarded([this] { MapView1Click(); }); });
    AddViewEntry(MapView1);
}

void TMainFrm::MapView1Click()
{
    if (mapView_ == nullptr) {
        mapView_ = new qel::ui::MapView(session_, *objectsSection->mapSelection(), store_, *pictures_, prompter_, this);
        // A window of its own beside this one, not a part of it.
        mapView_->setWindowFlag(Qt::Window);
        connect(mapView_, &qel::ui::MapView::objectActivated, this, [this](int row) {
            objectsSection->makeRowCurrent(qel::ObjectKind::Map, static_cast<std::size_t>(row));
        });
        connect(mapView_, &qel::ui::MapView::screenObjectActivated, this, [this](int row) {
            objectsSection->makeRowCurrent(qel::ObjectKind::Screen, static_cast<std::size_t>(row));
        });
        mapView_->attachScreenObjects(*objectsSection->screenSelection());
        // Placing reads the object editor as Add does; steps keep the lists'
        // view for undo as the section's own steps do.
        const auto values = [this] { return objectsSection->editorValues(); };
        const auto view = [this] { return objectsSection->CurrentViewState(); };
        mapEditor_ = std::make_unique<qel::ui::MapSessionEditor>(session_, qel::ObjectKind::Map, prompter_, mapView_,
                                                                 values, view);
        screenEditor_ = std::make_unique<qel::ui::MapSessionEditor>(session_, qel::ObjectKind::Screen, prompter_,
                                                                    mapView_, values, view);
        mapView_->setEditor(mapEditor_.get(), screenEditor_.get());
        connect(objectsSection, &qel::ui::ObjectsSection::objectImageChanged, mapView_,
                &qel::ui::MapView::refreshPlacing);
    }
    mapView_->show();
    mapView_->raise();
    mapView_->activateWindow();
}

void TMainFrm::ShowHistory()
{
    const bool undo = session_.canUndo();
    const bool redo = session_.canRedo();
    Undo1->setEnabled(undo);
    Undo1->setText(undo ? QStringLiteral("Undo ") + session_.undoText() : QStringLiteral("Undo"));
    Redo1->setEnabled(redo);
    Redo1->setText(redo ? QStringLiteral("Redo ") + session_.redoText() : QStringLiteral("Redo"));
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
}

void TMainFrm::FormCreate()
{
    ShowDocumentState();
    for (const std::string& message : settings_.load())
        prompter_.error(this, FromBytes(qel::WithFullStop(message)));
}

void TMainFrm::CreateDialogs()
{
    sortFrm_ = std::make_unique<TSortFrm>();
    connect(sortFrm_.get(), &TSortFrm::closed, this, &TMainFrm::DialogClosed);
    connect(sortFrm_.get(), &TSortFrm::sortRequested, objectsSection, [this](qel::ObjectKind kind, int keyIndex) {
        std::optional<qel::SortKey> key;
        if (keyIndex >= 0 && keyIndex < qel::kSortKeyCount)
            key = static_cast<qel::SortKey>(keyIndex);
        objectsSection->SortRequested(kind, key);
    });
    optnsForm_ = std::make_unique<TOptnsForm>(settings_, prompter_);
    connect(optnsForm_.get(), &TOptnsForm::closed, this, &TMainFrm::DialogClosed);
    aboutFrm_ = std::make_unique<TAboutFrm>();
    connect(aboutFrm_.get(), &TAboutFrm::closed, this, &TMainFrm::DialogClosed);
}

void TMainFrm::ShowDocumentState()
{
    setWindowTitle(qel::FileNameText(qel::app::WindowTitle(document())));
    StatusPanel->setText(qel::FileNameText(qel::app::StatusText(document())));
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
    ShowStatus(commands_->save());
}

void TMainFrm::SaveAsExecute()
{
    ShowStatus(commands_->saveAs());
}

void TMainFrm::ExitExecute()
{
    close();
}

void TMainFrm::CompileExecute()
{
    ShowStatus(commands_->compile());
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
    guarded([this] { ShowDialog(optnsForm_.get()); });
}

void TMainFrm::QelHelp1Click()
{
    guarded([this] { helpViewer_->showHelp(); });
}

void TMainFrm::About1Click()
{
    guarded([this] { ShowDialog(aboutFrm_.get()); });
}

void TMainFrm::SortObjectsClick()
{
    guarded([this] {
        if (sortFrm_)
            sortFrm_->prepare(objectsSection->ShownKind(), document().mapObjectCount(), document().screenObjectCount());
        ShowDialog(sortFrm_.get());
    });
}

void TMainFrm::ShowDialog(QDialog* dialog)
{
    if (!dialog)
        return;
    // The dialogs are windows of their own (a disabled parent would disable
    // them too), kept above this one: made transient for it before they
    // first appear, as the window manager reads that only then.
    dialog->winId();
    if (QWindow* window = dialog->windowHandle())
        window->setTransientParent(windowHandle());
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    setEnabled(false);
}

void TMainFrm::DialogClosed()
{
    setEnabled(true);
    activateWindow();
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
}

void TMainFrm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (placed_)
        return;
    placed_ = true;
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

// The Problems window and its counts.

void TMainFrm::BuildProblems()
{
    // Pictures a test hands in are decoded at once with it; the desktop's
    // are decoded beside the window's thread.
    problemPictures_ = std::make_unique<qel::app::ProblemPictures>(ownPictures_ ? nullptr : pictures_);
    problemMonitor_ = std::make_unique<qel::app::ProblemMonitor>(session_, *problemPictures_);
    problemsView_ = std::make_unique<qel::ui::ProblemsView>(*problemMonitor_, this);
    connect(problemsView_.get(), &qel::ui::ProblemsView::problemActivated, this, &TMainFrm::ShowProblemCause);

    Problems1 = new QAction(QStringLiteral("Problems"), this);
    Problems1->setObjectName(QStringLiteral("Problems1"));
    Problems1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    connect(Problems1, &QAction::triggered, this, &TMainFrm::ShowProblems);
    AddViewEntry(Problems1);

    ProblemCounts = new QToolButton(Status);
    ProblemCounts->setObjectName(QStringLiteral("ProblemCounts"));
    ProblemCounts->setAutoRaise(true);
    ProblemCounts->setToolTip(QStringLiteral("Show the Problems window"));
    Status->addPermanentWidget(ProblemCounts);
    connect(ProblemCounts, &QToolButton::clicked, this, &TMainFrm::ShowProblems);
    connect(problemMonitor_.get(), &qel::app::ProblemMonitor::problemsChanged, this, &TMainFrm::ShowProblemCounts);
    ShowProblemCounts();
}

void TMainFrm::ShowProblems()
{
    problemsView_->show();
    problemsView_->raise();
    problemsView_->activateWindow();
}

void TMainFrm::ShowProblemCounts()
{
    QString text = qel::ui::ProblemCountsText(problemMonitor_->counts());
    if (problemMonitor_->checking())
        text += QStringLiteral("...");
    ProblemCounts->setText(text);
}

void TMainFrm::ShowProblemCause(qel::ProblemPlace place, int row)
{
    if (row < 0)
        return;
    const auto at = static_cast<std::size_t>(row);
    const qel::DefinitionDocument& doc = document();
    // The list may have changed since the window was drawn.
    switch (place) {
    case qel::ProblemPlace::Files:
        if (at < doc.files().size())
            fileSection->selectFile(at);
        break;
    case qel::ProblemPlace::Images:
        if (at < doc.images().size())
            imageSection->selectImage(at);
        break;
    case qel::ProblemPlace::MapObjects:
    case qel::ProblemPlace::ScreenObjects: {
        const qel::ObjectKind kind =
            place == qel::ProblemPlace::MapObjects ? qel::ObjectKind::Map : qel::ObjectKind::Screen;
        if (at < doc.objects(kind).size())
            objectsSection->makeRowCurrent(kind, at);
        break;
    }
    case qel::ProblemPlace::None:
        return;
    }
    activateWindow();
}

void TMainFrm::BuildDiskFollower()
{
    qel::ui::DiskFollower::Hooks hooks;
    hooks.showStatus = [this](const QString& text, int timeoutMs) { Status->showMessage(text, timeoutMs); };
    // What F5 does in each window, for the pictures that changed.
    hooks.picturesChanged = [this] {
        problemMonitor_->rereadPictures();
        if (mapView_ != nullptr)
            mapView_->refreshPictures();
        previewSection->PicturesChanged();
    };
    diskFollower_ = std::make_unique<qel::ui::DiskFollower>(session_, *commands_, prompter_, *this, std::move(hooks));
}
