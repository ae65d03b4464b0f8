#include "MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>
#include <algorithm>

#include "AboutDialog.h"
#include "CompileCommand.h"
#include "Controls.h"
#include "DocumentCommands.h"
#include "Errors.h"
#include "FileSection.h"
#include "HelpViewer.h"
#include "ImageSection.h"
#include "Latin1Text.h"
#include "ObjectListModel.h"
#include "ObjectsSection.h"
#include "OptionsDialog.h"
#include "PreviewSection.h"
#include "Prompter.h"
#include "SortDialog.h"

using qel::ui::FromBytes;
using qel::ui::ModelResetScope;
using qel::ui::ShowPlaceholder;

namespace {

constexpr int kInnerWidth = 683;
constexpr int kInnerHeight = 468;
constexpr int kStatusHeight = 19;
constexpr int kToolBarHeight = 28;

const QString kOpenFilter = QStringLiteral("INI-Files (*.ini)");
const QString kSaveFilter = QStringLiteral("INI-File (*.ini)");
const QString kImagePlaceholder = QStringLiteral("IMAGE#");

// File names cross into the core as the system's file name bytes.
std::string PathBytes(const QString& path)
{
    const QByteArray bytes = QFile::encodeName(path);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString PathText(const std::string& bytes)
{
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QIcon CommandIcon(const QString& name)
{
    return qel::ui::PictureIcon(QStringLiteral(":/icons/%1.png").arg(name));
}

}  // namespace

TMainFrm::TMainFrm(qel::ui::Prompter& prompter, qel::platform::SettingsStore& store,
                   qel::platform::ProcessLauncher& launcher, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      prompter_(prompter),
      launcher_(launcher),
      settings_(store)
{
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

    fileSection = new qel::ui::FileSection(inner);
    imageSection = new qel::ui::ImageSection(inner);
    previewSection = new qel::ui::PreviewSection(inner);
    objectsSection = new qel::ui::ObjectsSection(inner);

    Status = statusBar();
    Status->setObjectName(QStringLiteral("Status"));
    Status->setSizeGripEnabled(false);
    Status->setFixedHeight(kStatusHeight);
    StatusPanel = new QLabel(Status);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    Status->addWidget(StatusPanel, 1);

    layout()->setSizeConstraint(QLayout::SetFixedSize);

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(100);
    AnimTimer = new QTimer(this);
    AnimTimer->setObjectName(QStringLiteral("AnimTimer"));
    AnimTimer->setInterval(1000);

    BindDocument();

    helpViewer_ = std::make_unique<qel::ui::HelpViewer>(this);

    FormCreate();
    Timer->start();
    AnimTimer->start();
}

TMainFrm::~TMainFrm()
{
    // The views are deleted with the window's children, after the document:
    // they let go of the models over it first.
    fileSection->FileList->setModel(nullptr);
    objectsSection->MapObjectList->setModel(nullptr);
    objectsSection->ScreenObjectList->setModel(nullptr);
    delete fileModel_;
    delete mapModel_;
    delete screenModel_;
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
        command.action = new QAction(CommandIcon(QString::fromLatin1(command.icon)), QString::fromLatin1(command.caption), this);
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
    struct Entry {
        QAction*& action;
        const char* name;
        const char* caption;
        const char* icon;
        void (TMainFrm::*handler)();
    };
    const Entry fileEntries[] = {
        {New1, "New1", "New", "new", &TMainFrm::NewExecute},
        {Open1, "Open1", "Open", "open", &TMainFrm::aOpenExecute},
        {Save1, "Save1", "Save", "save", &TMainFrm::SaveExecute},
        {SaveAs1, "SaveAs1", "Save As...", "saveas", &TMainFrm::SaveAsExecute},
        {Exit1, "Exit1", "Exit", "exit", &TMainFrm::ExitExecute},
    };
    for (const Entry& entry : fileEntries) {
        entry.action = File1->addAction(CommandIcon(QString::fromLatin1(entry.icon)), QString::fromLatin1(entry.caption));
        entry.action->setObjectName(QString::fromLatin1(entry.name));
        connect(entry.action, &QAction::triggered, this, entry.handler);
    }

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

void TMainFrm::BindDocument()
{
    using qel::ui::FileListModel;
    using qel::ui::ObjectListModel;
    fileModel_ = new FileListModel(doc_.files(), this);
    mapModel_ = new ObjectListModel(doc_.mapObjects(), this);
    screenModel_ = new ObjectListModel(doc_.screenObjects(), this);
    fileSection->FileList->setModel(fileModel_);
    objectsSection->MapObjectList->setModel(mapModel_);
    objectsSection->ScreenObjectList->setModel(screenModel_);

    connect(fileSection->eOutFile, &QLineEdit::textEdited, this, &TMainFrm::eOutFileEdited);
    connect(objectsSection->SortObjects, &QToolButton::clicked, this, &TMainFrm::SortObjectsClick);
}

void TMainFrm::FormCreate()
{
    programFolder_ = QCoreApplication::applicationDirPath();
    if (!programFolder_.endsWith(QLatin1Char('/')))
        programFolder_ += QLatin1Char('/');
    doc_.setDocumentFolder({});
    ShowDocumentState();
    for (const std::string& message : settings_.load())
        prompter_.error(this, FromBytes(qel::WithFullStop(message)));
}

void TMainFrm::CreateDialogs()
{
    sortFrm_ = std::make_unique<TSortFrm>(doc_, *objectsSection->ObjectsBox);
    connect(sortFrm_.get(), &TSortFrm::closed, this, &TMainFrm::DialogClosed);
    optnsForm_ = std::make_unique<TOptnsForm>(settings_, prompter_);
    connect(optnsForm_.get(), &TOptnsForm::closed, this, &TMainFrm::DialogClosed);
    aboutFrm_ = std::make_unique<TAboutFrm>();
    connect(aboutFrm_.get(), &TAboutFrm::closed, this, &TMainFrm::DialogClosed);
}

void TMainFrm::ShowFailure(std::exception_ptr failure)
{
    QString message;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        message = FromBytes(qel::WithFullStop(error.what()));
    } catch (...) {
        message = QStringLiteral("An unexpected failure ended the command.");
    }
    prompter_.error(this, message);
}

void TMainFrm::ShowDocumentState()
{
    setWindowTitle(PathText(doc_.windowTitle()));
    StatusPanel->setText(PathText(doc_.statusText()));
}

void TMainFrm::ShowDocumentContent()
{
    fileSection->eOutFile->setText(FromBytes(doc_.outFile()));
    QComboBox* images = imageSection->ImageBox;
    images->clear();
    QStringList keys;
    keys.reserve(doc_.imageCount());
    for (std::size_t i = 0; i < doc_.images().size(); ++i)
        keys << FromBytes(doc_.imageKey(i));
    images->addItems(keys);
    ShowPlaceholder(images, kImagePlaceholder);
}

void TMainFrm::ResetDocument()
{
    {
        ModelResetScope scope{fileModel_, mapModel_, screenModel_};
        qel::app::NewDocument(doc_);
    }
    ShowDocumentState();
    imageSection->ImageBox->clear();

    objectsSection->ObjectsBox->setCurrentIndex(0);
    objectsSection->ScreenObjectList->hide();
    objectsSection->MapObjectList->show();

    previewSection->Image->hide();
    previewSection->Progress->hide();
    previewSection->ProgressLabel->hide();

    fileSection->eOutFile->clear();
    imageSection->eImageFile->clear();
    imageSection->eImageX->setText(QStringLiteral("0"));
    imageSection->eImageY->setText(QStringLiteral("0"));
    imageSection->eImageTime->setText(QStringLiteral("0"));

    ShowPlaceholder(imageSection->ImageBox, kImagePlaceholder);
    ShowPlaceholder(objectsSection->ObjectImageBox, kImagePlaceholder);

    objectsSection->eObjectX->clear();
    objectsSection->eObjectY->clear();

    ShowPlaceholder(objectsSection->ObjectLayerBox, QStringLiteral("Layer"));
    ShowPlaceholder(objectsSection->ObjectModeBox, QStringLiteral("Mode"));

    objectsSection->eObjectDsplyTime->setText(QStringLiteral("0"));
    objectsSection->eObjectID->setText(QStringLiteral("0"));
}

bool TMainFrm::QuerySaveChanges()
{
    if (!doc_.modified())
        return true;
    const QString question = PathText(qel::app::SaveChangesQuestion(doc_));
    switch (prompter_.askSaveChanges(this, question)) {
    case qel::ui::SaveChangesAnswer::Yes:
        return SaveCommand();
    case qel::ui::SaveChangesAnswer::No:
        return true;
    case qel::ui::SaveChangesAnswer::Cancel:
        break;
    }
    return false;
}

bool TMainFrm::SaveCommand()
{
    if (doc_.currentFile().empty())
        return SaveAsCommand();
    const bool written = guarded([this] { qel::app::SaveDocument(doc_); });
    ShowDocumentState();
    return written;
}

bool TMainFrm::SaveAsCommand()
{
    const QString chosen = prompter_.saveFile(this, kSaveFilter);
    const std::string target = qel::app::SaveAsTarget(PathBytes(chosen));
    if (target.empty())
        return false;
    // A failed write still names the file it tried, as the title shows.
    const bool written = guarded([&] { qel::app::SaveDocumentAs(doc_, target); });
    ShowDocumentState();
    return written;
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
    const std::string path = PathBytes(chosen);
    try {
        ModelResetScope scope{fileModel_, mapModel_, screenModel_};
        qel::app::OpenDocument(doc_, path);
    } catch (...) {
        // What was read before the failure stays on screen.
        ShowDocumentContent();
        ShowDocumentState();
        throw;
    }
    ShowDocumentContent();
    ShowDocumentState();
}

void TMainFrm::NewExecute()
{
    guarded([this] {
        if (QuerySaveChanges())
            ResetDocument();
    });
}

void TMainFrm::aOpenExecute()
{
    guarded([this] { OpenCommand(); });
}

void TMainFrm::SaveExecute()
{
    guarded([this] { SaveCommand(); });
}

void TMainFrm::SaveAsExecute()
{
    guarded([this] { SaveAsCommand(); });
}

void TMainFrm::ExitExecute()
{
    close();
}

void TMainFrm::CompileExecute()
{
    guarded([this] { qel::app::CompileDefinition(doc_, settings_, launcher_); });
    // Compiling saves first, which names the file even when it fails.
    ShowDocumentState();
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
    guarded([this] { ShowDialog(sortFrm_.get()); });
}

void TMainFrm::ShowDialog(QDialog* dialog)
{
    if (!dialog)
        return;
    dialog->show();
    // The dialogs are windows of their own (a disabled parent would disable
    // them too), kept above this one.
    if (QWindow* window = dialog->windowHandle(); window && windowHandle())
        window->setTransientParent(windowHandle());
    dialog->raise();
    dialog->activateWindow();
    setEnabled(false);
}

void TMainFrm::DialogClosed()
{
    setEnabled(true);
    activateWindow();
}

void TMainFrm::eOutFileEdited(const QString& text)
{
    QLineEdit* edit = fileSection->eOutFile;
    const qsizetype refused = qel::ui::FirstUnstorableCharacter(text);
    if (refused < 0) {
        doc_.setOutFile(qel::ui::ToBytes(text));
        return;
    }
    // Back to the stored text, the cursor where the refused input began.
    const QString message = qel::ui::UnstorableCharacterMessage(text, refused);
    const QString stored = FromBytes(doc_.outFile());
    const qsizetype cursor = edit->cursorPosition() - (text.size() - stored.size());
    edit->setText(stored);
    edit->setCursorPosition(static_cast<int>(std::clamp<qsizetype>(cursor, 0, stored.size())));
    prompter_.error(this, message);
}

void TMainFrm::closeEvent(QCloseEvent* event)
{
    // While a dialog is open the window takes no input, closing included.
    if (!isEnabled() || !QuerySaveChanges()) {
        event->ignore();
        return;
    }
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
