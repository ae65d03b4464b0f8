#include "ui/MapPanels.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>

#include "ui/ImagesPanel.h"
#include "ui/MapView.h"
#include "ui/OverviewPanel.h"
#include "ui/PointerReport.h"
#include "ui/PropertiesPanel.h"
#include "ui/StampTool.h"

namespace qel::ui {

MapPanels::MapPanels(MapView& view, app::DocumentSession& session, app::ObjectCommands& commands, Prompter& prompter,
                     MapPanelSources sources)
    : QObject(&view),
      view_(view),
      sources_(std::move(sources)),
      commands_(std::make_unique<PanelCommands>(commands, prompter, view, sources_.values, sources_.view))
{
    setObjectName(QStringLiteral("MapPanels"));
    commands_->setPlacer(sources_.placer);
    MapCanvas& canvas = view.canvas();
    stamp_ = new StampTool(canvas, *commands_, session, view.pictureCache());
    canvas.setStampTool(stamp_);
    addStamp();

    images_ = new ImagesPanel(session, view.pictureCache());
    images_->setChoose(sources_.choose);
    images_->setShowImage(sources_.showImage);
    properties_ = new PropertiesPanel(session, *commands_);
    overview_ = new OverviewPanel(canvas);
    view.viewMenu()->addSeparator();
    QDockWidget* imagesDock = addDock(images_, QStringLiteral("Images"), "Images", Qt::LeftDockWidgetArea);
    addDock(properties_, QStringLiteral("Properties"), "Properties", Qt::RightDockWidgetArea);
    addDock(overview_, QStringLiteral("Overview"), "Overview", Qt::RightDockWidgetArea);
    // Ctrl+I shows the palette and puts the keyboard there, shown before or not.
    auto* showImages = new QAction(QStringLiteral("&Images"), &view);
    showImages->setObjectName(QStringLiteral("ShowImages"));
    showImages->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    showImages->setShortcutContext(Qt::WindowShortcut);
    connect(showImages, &QAction::triggered, this, [this, imagesDock] {
        imagesDock->show();
        imagesDock->raise();
        images_->setFocus(Qt::ShortcutFocusReason);
    });
    view.viewMenu()->insertAction(imagesDock->toggleViewAction(), showImages);
    view.viewMenu()->removeAction(imagesDock->toggleViewAction());

    view.viewMenu()->addSeparator();
    addWindowDock("ProblemsView", QStringLiteral("Problems"));
    addWindowDock("CompilerOutput", QStringLiteral("Compiler Output"));

    auto* label = new QLabel(&view);
    label->setObjectName(QStringLiteral("StatusObject"));
    view.statusBar()->addWidget(label, 2);
    pointer_ = new PointerReport(canvas, session, view.pictureCache(), *label);

    connect(&view, &MapView::tabChanged, this, &MapPanels::followTab);
    followTab();
    followImageChoice();
    view.restoreDocks();
    // Borrowed windows are docked again only when asked.
    for (auto& b : borrowed_)
        b->dock->hide();
}

// Gone before the docks (made after it): the borrowed windows go back to
// their owner, who deletes them.
MapPanels::~MapPanels()
{
    // The map window is half gone: its docks are left alone.
    for (auto& b : borrowed_)
        if (b->widget && b->widget->parentWidget() == b->dock) {
            b->widget->setParent(b->owner, Qt::Window);
            b->widget->hide();
        }
}

void MapPanels::addWindowDock(const char* windowName, const QString& title)
{
    auto borrowed = std::make_unique<Borrowed>();
    Borrowed& b = *borrowed;
    b.dock = new QDockWidget(title, &view_);
    b.dock->setObjectName(QString::fromLatin1(windowName) + QStringLiteral("Dock"));
    b.dock->hide();
    view_.addDockWidget(Qt::BottomDockWidgetArea, b.dock);
    b.action = view_.viewMenu()->addAction(QStringLiteral("Dock ") + title);
    b.action->setObjectName(QStringLiteral("Dock") + QString::fromLatin1(windowName));
    b.action->setCheckable(true);
    const QString name = QString::fromLatin1(windowName);
    connect(b.action, &QAction::toggled, this, [this, &b, name](bool on) { dockWindow(b, name, on); });
    // The dock closed by its button: the window is its own again.
    connect(b.dock, &QDockWidget::visibilityChanged, this, [&b](bool shown) {
        if (!shown && !b.dock->isVisible() && b.action->isChecked() && !b.dock->isFloating())
            b.action->setChecked(false);
    });
    borrowed_.push_back(std::move(borrowed));
}

void MapPanels::dockWindow(Borrowed& b, const QString& windowName, bool on)
{
    if (on) {
        if (!b.widget)
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->objectName() == windowName)
                    b.widget = top;
        if (!b.widget) {
            const QSignalBlocker quiet(b.action);
            b.action->setChecked(false);
            return;
        }
        b.owner = b.widget->parentWidget();
        b.dock->setWidget(b.widget);
        b.widget->show();
        b.dock->show();
        return;
    }
    if (b.widget && b.widget->parentWidget() == b.dock) {
        b.widget->setParent(b.owner, Qt::Window);
        b.widget->hide();
    }
    b.dock->hide();
}

QDockWidget* MapPanels::addDock(QWidget* panel, const QString& title, const char* name, Qt::DockWidgetArea area)
{
    auto* dock = new QDockWidget(title, &view_);
    dock->setObjectName(QString::fromLatin1(name) + QStringLiteral("Dock"));
    dock->setWidget(panel);
    view_.addDockWidget(area, dock);
    QAction* toggle = dock->toggleViewAction();
    toggle->setObjectName(QStringLiteral("Show") + QString::fromLatin1(name));
    toggle->setShortcut(QKeySequence(QString::fromLatin1(name) == QStringLiteral("Properties")
                                         ? QStringLiteral("Ctrl+Shift+I")
                                         : QStringLiteral("Ctrl+Shift+O")));
    toggle->setShortcutContext(Qt::WindowShortcut);
    view_.viewMenu()->addAction(toggle);
    return dock;
}

void MapPanels::addStamp()
{
    stampAction_ = new QAction(QStringLiteral("&Stamp"), &view_);
    stampAction_->setObjectName(QStringLiteral("Stamp"));
    stampAction_->setCheckable(true);
    stampAction_->setShortcut(Qt::Key_B);
    stampAction_->setShortcutContext(Qt::WindowShortcut);
    stampAction_->setToolTip(QStringLiteral("Stamp the chosen image: click, drag a line, Shift+drag a fill (B)"));
    QMenu* menu = view_.mapMenu();
    QAction* place = view_.findChild<QAction*>(QStringLiteral("Place"));
    menu->insertAction(menu->actions().value(menu->actions().indexOf(place) + 1), stampAction_);
    if (auto* tools = view_.findChild<QToolBar*>(QStringLiteral("MapTools")))
        tools->addAction(stampAction_);
    connect(stampAction_, &QAction::toggled, this, [this](bool on) {
        if (stamp_->active() != on)
            stampAction_->setChecked(stamp_->setActive(on));
    });
    connect(stamp_, &StampTool::activeChanged, this, [this](bool on) {
        stampAction_->setChecked(on);
        if (on) {
            view_.showScreen(false);
            view_.canvas().setPlacing(false);
        }
    });
    // Place and the stamp are tools: one ends the other.
    connect(&view_.canvas().tool(), &EditTool::placingChanged, this, [this](bool on) {
        if (on)
            stamp_->setActive(false);
    });
    view_.setEscapeFirst([this] { return stamp_->active() && !stamp_->setActive(false); });
}

void MapPanels::followImageChoice()
{
    const int choice = commands_->editorValues().imageChoice;
    images_->showChoice(choice);
    stampAction_->setEnabled(stamp_->canStamp());
    if (!stamp_->canStamp())
        stamp_->setActive(false);
}

void MapPanels::followTab()
{
    const bool screen = view_.screenShown() && sources_.screenSelection != nullptr;
    properties_->follow(screen ? ObjectKind::Screen : ObjectKind::Map,
                        screen ? sources_.screenSelection : sources_.mapSelection);
    if (screen)
        stamp_->setActive(false);
}

}  // namespace qel::ui
