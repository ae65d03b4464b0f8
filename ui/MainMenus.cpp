#include <QFrame>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "Controls.h"
#include "TMainFrm.h"

namespace {

constexpr int kInnerWidth = 683;
constexpr int kToolBarHeight = 28;

QIcon CommandIcon(const QString& name)
{
    return qel::ui::PictureIcon(QStringLiteral(":/icons/%1.png").arg(name));
}

}  // namespace

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

void TMainFrm::ShowHistory()
{
    const bool undo = session_.canUndo();
    const bool redo = session_.canRedo();
    Undo1->setEnabled(undo);
    Undo1->setText(undo ? QStringLiteral("Undo ") + session_.undoText() : QStringLiteral("Undo"));
    Redo1->setEnabled(redo);
    Redo1->setText(redo ? QStringLiteral("Redo ") + session_.redoText() : QStringLiteral("Redo"));
}
