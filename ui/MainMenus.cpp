#include "ui/MainMenus.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <string_view>

#include "app/DocumentSession.h"
#include "ui/AltLetterFilter.h"
#include "ui/Controls.h"
#include "ui/HistoryKeyFilter.h"

namespace qel::ui {

namespace {

constexpr int kToolBarHeight = 28;

QIcon CommandIcon(const QString& name)
{
    return PictureIcon(QStringLiteral(":/icons/%1.png").arg(name));
}

// An entry that runs `handler` in `window`.
void Bind(QAction* action, QObject& window, const std::function<void()>& handler)
{
    QObject::connect(action, &QAction::triggered, &window, [handler] { handler(); });
}

}  // namespace

MainMenus::MainMenus(QMainWindow& window, QWidget& inner, app::DocumentSession& session, const Handlers& handlers)
    : QObject(&window), session_(session)
{
    buildCommands(window, handlers);
    buildMenu(window, handlers);
    buildToolBar(inner);
    connect(&session_, &app::DocumentSession::historyChanged, this, &MainMenus::showHistory);
    showHistory();
}

void MainMenus::buildCommands(QMainWindow& window, const Handlers& handlers)
{
    struct Command {
        QAction*& action;
        const char* name;
        const char* caption;
        const char* toolCaption;
        const char* icon;
        const std::function<void()>& handler;
    };
    const Command commands[] = {
        {New, "New", "New", "&New", "new", handlers.newDocument},
        {aOpen, "aOpen", "Open", "&Open", "open", handlers.open},
        {Save, "Save", "Save", "&Save", "save", handlers.save},
        {SaveAs, "SaveAs", "Save As...", "Save As...", "saveas", handlers.saveAs},
        {Exit, "Exit", "Exit", "Exit", "exit", handlers.exit},
        {Compile, "Compile", "Compile", "&Compile", "compile", handlers.compile},
    };
    for (const Command& command : commands) {
        command.action =
            new QAction(CommandIcon(QString::fromLatin1(command.icon)), QString::fromLatin1(command.caption), &window);
        command.action->setObjectName(QString::fromLatin1(command.name));
        // The tool bar shows its own caption with an access key.
        command.action->setIconText(QString::fromLatin1(command.toolCaption));
        Bind(command.action, window, command.handler);
    }
}

void MainMenus::buildMenu(QMainWindow& window, const Handlers& handlers)
{
    QMenuBar* menu = window.menuBar();
    menu->setObjectName(QStringLiteral("MainMenu"));

    QMenu* File1 = menu->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    // Each entry stands for its command's one action: it triggers it and is
    // enabled with it; only its caption is its own.
    // The keys belong to the entries, not to the commands the tool bar also
    // holds: one action per key, or Qt finds the key ambiguous.
    struct Entry {
        const char* name;
        QAction* command;
        QKeySequence key;
    };
    const Entry fileEntries[] = {
        {"New1", New, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {"Open1", aOpen, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"Save1", Save, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"SaveAs1", SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {"Exit1", Exit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
    };
    for (const Entry& e : fileEntries) {
        QAction* command = e.command;
        QAction* entry = File1->addAction(command->icon(), command->text());
        entry->setObjectName(QString::fromLatin1(e.name));
        entry->setShortcut(e.key);
        if (command == aOpen) {
            RecentFiles1 = File1->addMenu(QStringLiteral("Open Recent"));
            RecentFiles1->setObjectName(QStringLiteral("OpenRecent1"));
            RecentFiles1->menuAction()->setObjectName(QStringLiteral("OpenRecent1"));
            RecentFiles1->setToolTipsVisible(true);
        }
        connect(entry, &QAction::triggered, command, &QAction::trigger);
        connect(command, &QAction::changed, entry, [entry, command] { entry->setEnabled(command->isEnabled()); });
    }

    QMenu* Edit1 = menu->addMenu(QStringLiteral("&Edit"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Undo1 = Edit1->addAction(QStringLiteral("Undo"));
    Undo1->setObjectName(QStringLiteral("Undo1"));
    Undo1->setShortcut(QKeySequence::Undo);
    Bind(Undo1, window, handlers.undo);
    Redo1 = Edit1->addAction(QStringLiteral("Redo"));
    Redo1->setObjectName(QStringLiteral("Redo1"));
    Redo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    Bind(Redo1, window, handlers.redo);
    buildObjectEntries(*Edit1, window, handlers);

    View1 = menu->addMenu(QStringLiteral("&View"));
    View1->setObjectName(QStringLiteral("View1"));
    // Shown once it has an entry.
    View1->menuAction()->setVisible(false);

    QAction* Options1 = menu->addAction(QStringLiteral("O&ptions"));
    Options1->setObjectName(QStringLiteral("Options1"));
    Bind(Options1, window, handlers.options);

    QMenu* Help1 = menu->addMenu(QStringLiteral("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    QAction* QelHelp1 = Help1->addAction(CommandIcon(QStringLiteral("help")), QStringLiteral("Qel Help"));
    QelHelp1->setObjectName(QStringLiteral("QelHelp1"));
    QelHelp1->setShortcut(QKeySequence(Qt::Key_F1));
    Bind(QelHelp1, window, handlers.help);
    QAction* About1 = Help1->addAction(CommandIcon(QStringLiteral("about")), QStringLiteral("About..."));
    About1->setObjectName(QStringLiteral("About1"));
    Bind(About1, window, handlers.about);
}

void MainMenus::buildObjectEntries(QMenu& edit, QMainWindow& window, const Handlers& handlers)
{
    edit.addSeparator();
    struct Entry {
        const char* name;
        const char* caption;
        QKeySequence key;
        const std::function<void()>* handler;
        void (MainMenus::*signal)();
    };
    const Entry entries[] = {
        {"Cut1", "Cut", QKeySequence::Cut, &handlers.cut, nullptr},
        {"Copy1", "Copy", QKeySequence::Copy, &handlers.copy, nullptr},
        {"Paste1", "Paste", QKeySequence::Paste, &handlers.paste, nullptr},
        {"Duplicate1", "Duplicate", QKeySequence(Qt::CTRL | Qt::Key_D), &handlers.duplicate, nullptr},
        {"Delete1", "Delete", QKeySequence(Qt::Key_Delete), &handlers.remove, nullptr},
        {"SelectAll1", "Select All", QKeySequence::SelectAll, &handlers.selectAll, nullptr},
        {"SelectUsingImage1", "Select Objects Using Image", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A),
         &handlers.selectUsingImage, nullptr},
        {"ChangeSelected1", "Change Selected Objects...", QKeySequence(Qt::CTRL | Qt::Key_E), nullptr,
         &MainMenus::changeSelectedRequested},
        {"Find1", "Find", QKeySequence(Qt::CTRL | Qt::Key_F), nullptr, &MainMenus::findRequested},
    };
    for (const Entry& e : entries) {
        QAction* action = edit.addAction(QString::fromLatin1(e.caption));
        action->setObjectName(QString::fromLatin1(e.name));
        action->setShortcut(e.key);
        if (e.handler && *e.handler)
            Bind(action, window, *e.handler);
        if (e.signal)
            connect(action, &QAction::triggered, this, e.signal);
        // Delete is the key of whichever list or edit has the focus (a
        // line edit deletes a character with it): the menu only shows it.
        if (e.handler == &handlers.remove)
            action->setShortcutContext(Qt::WidgetShortcut);
        const std::string_view name = e.name;
        if (name == "Cut1" || name == "Copy1" || name == "Duplicate1" || name == "Delete1" || name == "ChangeSelected1")
            onSelection_.push_back(action);
        else if (name == "SelectAll1" || name == "SelectUsingImage1")
            onRows_.push_back(action);
    }
}

void MainMenus::buildToolBar(QWidget& inner)
{
    // A raised edge on all four sides around the tool bar.
    auto* edge = new QFrame(&inner);
    edge->setObjectName(QStringLiteral("ActionToolBar1Edge"));
    edge->setFrameStyle(QFrame::Panel | QFrame::Raised);
    edge->setLineWidth(1);
    edge->setGeometry(0, 0, inner.width(), kToolBarHeight);
    auto* edgeLayout = new QHBoxLayout(edge);
    edgeLayout->setContentsMargins(1, 1, 1, 1);

    auto* ActionToolBar1 = new QToolBar(edge);
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

void MainMenus::addViewEntry(QAction* entry)
{
    View1->addAction(entry);
    View1->menuAction()->setVisible(true);
}

void MainMenus::installHistoryKeys(QWidget& window)
{
    HistoryKeyFilter::InstallOn(window, Undo1, Redo1);
    AltLetterFilter::InstallFor(window);
}

void MainMenus::enableObjectEntries(std::size_t selected, std::size_t rows)
{
    // A disabled entry leaves its key to the field that has the focus: Ctrl+C
    // in an edit copies its text.
    for (QAction* action : onSelection_)
        action->setEnabled(selected > 0);
    for (QAction* action : onRows_)
        action->setEnabled(rows > 0);
}

void MainMenus::showHistory()
{
    const bool undo = session_.canUndo();
    const bool redo = session_.canRedo();
    Undo1->setEnabled(undo);
    Undo1->setText(undo ? QStringLiteral("Undo ") + session_.undoText() : QStringLiteral("Undo"));
    Redo1->setEnabled(redo);
    Redo1->setText(redo ? QStringLiteral("Redo ") + session_.redoText() : QStringLiteral("Redo"));
}

}  // namespace qel::ui
