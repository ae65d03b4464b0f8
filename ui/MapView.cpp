#include "ui/MapView.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>

#include "platform/FileNameText.h"
#include "ui/Guarded.h"
#include "ui/Latin1Text.h"
#include "ui/ObjectActions.h"
#include "ui/WindowPlacement.h"

namespace qel::ui {

namespace {

const QString kSettingX = QStringLiteral("MapViewLeft");
const QString kSettingY = QStringLiteral("MapViewTop");
const QString kSettingWidth = QStringLiteral("MapViewWidth");
const QString kSettingHeight = QStringLiteral("MapViewHeight");
const QString kSettingSnap = QStringLiteral("MapViewSnapToTiles");
const QString kSettingScreenSize = QStringLiteral("MapViewScreenSize");
// A remembered size past this on either side is not a window's.
constexpr qint32 kLargestWindowSide = 16384;

QString ZoomText(double scale)
{
    return QStringLiteral("Zoom: %1%").arg(scale * 100, 0, 'f', scale < 0.25 ? 1 : 0);
}

}  // namespace

MapView::MapView(app::DocumentSession& session, QItemSelectionModel& mapSelection, platform::SettingsStore& settings,
                 platform::PictureService& pictures, Prompter& prompter, QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      session_(session),
      settings_(settings),
      prompter_(prompter),
      cache_(new platform::PictureCache(pictures, {}, this)),
      places_(settings)
{
    setObjectName(QStringLiteral("MapView"));
    cache_->setObjectName(QStringLiteral("PictureCache"));
    tabs_ = new QTabWidget(this);
    canvas_ = new MapCanvas(session, mapSelection, *cache_, tabs_);
    tabs_->addTab(canvas_, QStringLiteral("Map"));
    tabs_->tabBar()->hide();
    setCentralWidget(tabs_);
    position_ = new QLabel(this);
    position_->setObjectName(QStringLiteral("StatusPosition"));
    zoom_ = new QLabel(this);
    zoom_->setObjectName(QStringLiteral("StatusZoom"));
    statusBar()->addWidget(position_, 1);
    statusBar()->addPermanentWidget(zoom_);
    connect(&canvas_->tool(), &EditTool::objectActivated, this, &MapView::objectActivated);
    connect(canvas_, &MapCanvas::pointerMoved, this, &MapView::showStatus);
    connect(canvas_, &MapCanvas::zoomChanged, this, &MapView::showStatus);
    connect(&session, &app::DocumentSession::documentStateChanged, this, &MapView::followDocumentState);
    connect(&session, &app::DocumentSession::documentReplaced, this, &MapView::followReplacedDocument);

    addKey({Qt::Key_Escape}, [this] { escapeFirst_&& escapeFirst_() ? void() : toolInView().cancel(); });
    addKey({QKeySequence(Qt::CTRL | Qt::Key_Z)}, [this] {
        if (session_.canUndo())
            session_.undo();
    });
    addKey({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, [this] {
        if (session_.canRedo())
            session_.redo();
    });

    buildMenus();
    buildLayerPanel();
    connect(canvas_, &MapCanvas::objectsChanged, this, &MapView::countLater);
    countLater();

    resize(800, 600);
    restoreSettings();
    placeFile_ = AbsolutePath(session_.document().currentFile());
    followDocumentState();
    showStatus();
}

MapView::~MapView()
{
    // Closed with the main window, the view is deleted without being hidden
    // first: where it stood is kept here.
    if (isVisible())
        saveSettings();
}

void MapView::addKey(const QList<QKeySequence>& keys, std::function<void()> handler)
{
    auto* action = new QAction(this);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this,
            [this, handler = std::move(handler)] { Guarded(prompter_, this, handler); });
    addAction(action);
}

QAction* MapView::addCommand(QMenu* menu, const char* name, const QString& text, const QList<QKeySequence>& keys,
                             std::function<void()> handler)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this,
            [this, handler = std::move(handler)] { Guarded(prompter_, this, handler); });
    return action;
}

void MapView::buildMenus()
{
    QMenu* menu = mapMenu_ = menuBar()->addMenu(QStringLiteral("&Map"));
    place_ = menu->addAction(QStringLiteral("&Place"));
    place_->setObjectName(QStringLiteral("Place"));
    place_->setCheckable(true);
    place_->setShortcut(Qt::Key_P);
    place_->setShortcutContext(Qt::WindowShortcut);
    place_->setEnabled(false);
    place_->setToolTip(QStringLiteral("Place objects (P)"));
    connect(place_, &QAction::toggled, this, [this](bool on) {
        if (toolInView().placing() != on)
            setPlacingNow(on);
    });
    connect(&canvas_->tool(), &EditTool::placingChanged, place_, &QAction::setChecked);
    delete_ = addCommand(menu, "Delete", QStringLiteral("&Delete"), {Qt::Key_Delete},
                         [this] { toolInView().deleteSelection(); });
    delete_->setEnabled(false);
    menu->addSeparator();
    snap_ = menu->addAction(QStringLiteral("&Snap to Tiles"));
    snap_->setObjectName(QStringLiteral("SnapToTiles"));
    snap_->setCheckable(true);
    snap_->setChecked(true);
    connect(snap_, &QAction::toggled, this, [this](bool on) {
        setToolsSnapping(on);
        settings_.writeInteger(kSettingSnap, on ? 1 : 0);
    });

    // The screen always fits its tab: the zoom commands are the map's alone.
    QMenu* view = viewMenu_ = menuBar()->addMenu(QStringLiteral("&View"));
    const auto onMap = [this](void (MapCanvas::*command)()) {
        return [this, command] {
            if (!screenShown())
                (canvas_->*command)();
        };
    };
    addCommand(view, "ZoomIn", QStringLiteral("Zoom &In"), {Qt::Key_Plus, Qt::Key_Equal}, [this] { zoomBy(1); });
    addCommand(view, "ZoomOut", QStringLiteral("Zoom &Out"), {Qt::Key_Minus}, [this] { zoomBy(-1); });
    addCommand(view, "ActualSize", QStringLiteral("&Actual Size"), {Qt::Key_1}, onMap(&MapCanvas::zoomActualSize));
    addCommand(view, "WholeMap", QStringLiteral("&Whole Map"), {Qt::Key_0}, onMap(&MapCanvas::zoomWholeMap));
    addCommand(view, "FitSelection", QStringLiteral("&Fit Selection"), {Qt::Key_F}, onMap(&MapCanvas::fitSelection));
    view->addSeparator();
    QAction* grid = view->addAction(QStringLiteral("Show &Grid"));
    grid->setObjectName(QStringLiteral("ShowGrid"));
    grid->setShortcut(Qt::Key_G);
    grid->setShortcutContext(Qt::WindowShortcut);
    grid->setCheckable(true);
    grid->setChecked(canvas_->gridShown());
    connect(grid, &QAction::toggled, canvas_, &MapCanvas::setGridShown);
    addCommand(view, "GoToPosition", QStringLiteral("Go to &Position..."), {QKeySequence(Qt::CTRL | Qt::Key_G)},
               [this] { goToPosition(); });
    view->addSeparator();
    addCommand(view, "ReloadPictures", QStringLiteral("&Reload Pictures"), {Qt::Key_F5}, [this] {
        canvas_->reloadPictures();
        if (screen_)
            screen_->update();
    });

    QToolBar* tools = addToolBar(QStringLiteral("Tools"));
    tools->setObjectName(QStringLiteral("MapTools"));
    tools->addAction(place_);
}

void MapView::zoomBy(int steps)
{
    if (screenShown())
        return;
    const QWidget* port = canvas_->viewport();
    canvas_->setZoomLevelAbout(canvas_->zoomLevel() + steps, QPointF(port->width() / 2.0, port->height() / 2.0));
}

void MapView::setEditor(MapEditor* editor, MapEditor* screenEditor)
{
    editor_ = editor;
    screenEditor_ = screenEditor;
    canvas_->tool().setEditor(editor);
    if (screen_)
        screen_->tool().setEditor(screenEditor);
    refreshPlacing();
}

void MapView::attachScreenObjects(QItemSelectionModel& screenSelection)
{
    if (screen_)
        return;
    auto* page = new QWidget(tabs_);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 0);
    bar->addWidget(new QLabel(QStringLiteral("Screen size:"), page));
    screenSize_ = new QComboBox(page);
    screenSize_->setObjectName(QStringLiteral("ScreenSizeBox"));
    for (const ScreenSize& size : ScreenSizes())
        screenSize_->addItem(QStringLiteral("%1 x %2").arg(size.width).arg(size.height));
    bar->addWidget(screenSize_);
    unplaceable_ = new QLabel(page);
    unplaceable_->setObjectName(QStringLiteral("UnplaceableLabel"));
    bar->addWidget(unplaceable_, 1);
    layout->addLayout(bar);
    screen_ = new MapScreenCanvas(session_, screenSelection, *cache_, page);
    screen_->tool().setSnapping(snap_->isChecked());
    screen_->tool().setEditor(screenEditor_);
    layout->addWidget(screen_, 1);
    tabs_->addTab(page, QStringLiteral("Screen"));
    tabs_->tabBar()->show();
    connect(&screen_->tool(), &EditTool::objectActivated, this, &MapView::screenObjectActivated);
    connect(screen_, &MapScreenCanvas::objectsChanged, this, &MapView::showUnplaceable);
    connect(screen_, &MapScreenCanvas::objectsChanged, this, &MapView::countLater);
    connect(&screen_->tool(), &EditTool::placingChanged, place_, &QAction::setChecked);
    connect(screen_, &MapScreenCanvas::pointerMoved, this, &MapView::showStatus);
    connect(screen_, &MapScreenCanvas::zoomChanged, this, &MapView::showStatus);
    connect(tabs_, &QTabWidget::currentChanged, this, [this] {
        canvas_->tool().setPlacing(false);
        screen_->tool().setPlacing(false);
        refreshPlacing();
        showLayerBoxes();
        showLayerCounts();
        showStatus();
        emit tabChanged();
    });
    qint32 chosen = 0;
    if (settings_.readInteger(kSettingScreenSize, chosen) != platform::StoredValue::Present || chosen < 0
        || chosen >= static_cast<qint32>(ScreenSizes().size()))
        chosen = 0;
    screenSize_->setCurrentIndex(chosen);
    screen_->setScreenSize(ScreenSizes()[static_cast<std::size_t>(chosen)]);
    connect(screenSize_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i < 0)
            return;
        screen_->setScreenSize(ScreenSizes()[static_cast<std::size_t>(i)]);
        settings_.writeInteger(kSettingScreenSize, i);
    });
    showUnplaceable();
}

bool MapView::screenShown() const
{
    return screen_ && tabs_->currentIndex() == 1;
}

void MapView::showScreen(bool on)
{
    if (screen_)
        tabs_->setCurrentIndex(on ? 1 : 0);
}

EditTool& MapView::toolInView() const
{
    return screenShown() ? screen_->tool() : canvas_->tool();
}

void MapView::setPlacingNow(bool on)
{
    place_->setChecked(toolInView().setPlacing(on));
}

void MapView::showUnplaceable()
{
    const std::size_t count = screen_->unplaceableCount();
    unplaceable_->setText(
        count == 0 ? QString()
        : count == 1
            ? QStringLiteral("1 screen object has a position that cannot be placed; see the list.")
            : QStringLiteral("%1 screen objects have positions that cannot be placed; see the list.").arg(count));
}

void MapView::setKeptMapRows(std::shared_ptr<const std::vector<std::uint32_t>> rows)
{
    canvas_->setKeptRows(std::move(rows));
}

void MapView::refreshPictures()
{
    canvas_->refreshPictures();
    if (screen_ != nullptr)
        screen_->update();
}

void MapView::refreshPlacing()
{
    MapEditor* editor = screenShown() ? screenEditor_ : editor_;
    const bool can = editor && editor->canPlace();
    place_->setEnabled(can);
    delete_->setEnabled(editor != nullptr);
    if (!can)
        setPlacingNow(false);
}

void MapView::setSnapping(bool on)
{
    snap_->setChecked(on);
    setToolsSnapping(on);
}

void MapView::setToolsSnapping(bool on)
{
    canvas_->tool().setSnapping(on);
    if (screen_)
        screen_->tool().setSnapping(on);
}

void MapView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        refreshPlacing();
    QMainWindow::changeEvent(event);
}

void MapView::setTitleFileName(const QString& name)
{
    setWindowTitle(QStringLiteral("Map - ") + (name.isEmpty() ? QStringLiteral("Untitled") : name));
}

void MapView::followDocumentState()
{
    const std::string& file = session_.document().currentFile();
    setTitleFileName(file.empty() ? QString() : QFileInfo(FileNameText(file)).fileName());
    if (session_.modified())
        setWindowTitle(QLatin1Char('*') + windowTitle());
    // Save As names the map in view anew, and it stays where it is. New and
    // Open tell of their file here too, before they say the document was
    // replaced: whether it was is known only once the notices are through.
    if (AbsolutePath(file) != placeFile_ && !renamePending_) {
        renamePending_ = true;
        QTimer::singleShot(0, this, [this] {
            if (renamePending_)
                placeFile_ = AbsolutePath(session_.document().currentFile());
            renamePending_ = false;
        });
    }
}

QString MapView::AbsolutePath(const std::string& file)
{
    return file.empty() ? QString() : QFileInfo(FileNameText(file)).absoluteFilePath();
}

void MapView::followReplacedDocument()
{
    renamePending_ = false;
    const QString file = AbsolutePath(session_.document().currentFile());
    // Read again after a change outside, the same file stays where it was.
    if (file == placeFile_ && !file.isEmpty())
        return;
    rememberPlace();
    placeFile_ = file;
    if (framed_)
        showPlace();
}

void MapView::rememberPlace()
{
    if (!framed_ || placeFile_.isEmpty())
        return;
    const QWidget* port = canvas_->viewport();
    const QPointF centre = canvas_->mapPointAt(QPointF(port->width() / 2.0, port->height() / 2.0));
    places_.remember(placeFile_, {canvas_->zoomLevel(), static_cast<qint32>(std::floor(centre.x())),
                                  static_cast<qint32>(std::floor(centre.y()))});
}

void MapView::showPlace()
{
    // A file not seen before, or untitled, shows all its objects: another
    // file's place would mean nothing there.
    const std::optional<app::MapPlace> place = places_.find(placeFile_);
    if (!place) {
        canvas_->fitObjects();
        return;
    }
    canvas_->setZoomLevel(place->level);
    canvas_->centreOn(place->x, place->y);
}

void MapView::goToPosition()
{
    // The position is the map's, and shows there.
    showScreen(false);
    const QPointF centre =
        canvas_->mapPointAt(QPointF(canvas_->viewport()->width() / 2.0, canvas_->viewport()->height() / 2.0));
    QString text = QStringLiteral("%1,%2").arg(std::floor(centre.x())).arg(std::floor(centre.y()));
    QString label = QStringLiteral("X,Y");
    // Bad input is asked again with what was typed and why it is no
    // position, so the user corrects it rather than typing it anew.
    for (;;) {
        const std::optional<QString> answer = prompter_.askText(this, QStringLiteral("Go to Position"), label, text);
        if (!answer)
            return;
        if (const auto point = ParseMapPosition(CheckedBytes(*answer))) {
            canvas_->centreOn(point->first, point->second);
            return;
        }
        text = *answer;
        label = QStringLiteral("'%1' is not a position: enter X,Y as two whole numbers.\nX,Y").arg(text);
    }
}

void MapView::centreOnObject(ObjectKind kind, std::size_t row)
{
    // The screen is shown whole: its tab is all there is to show.
    showScreen(kind == ObjectKind::Screen);
    if (kind == ObjectKind::Screen)
        return;
    const MapIndex& index = canvas_->index();
    if (row >= index.rows())
        return;
    const MapRect r = index.rect(row);
    canvas_->centreOn(static_cast<double>(r.x) + static_cast<double>(r.width) / 2.0,
                      static_cast<double>(r.y) + static_cast<double>(r.height) / 2.0);
}

void MapView::showStatus()
{
    const bool screen = screenShown();
    const std::optional<QPointF> p = screen ? screen_->pointerPoint() : canvas_->pointerPoint();
    if (!p) {
        position_->setText(QString());
    } else {
        const auto x = static_cast<qint64>(std::floor(p->x()));
        const auto y = static_cast<qint64>(std::floor(p->y()));
        position_->setText(
            QStringLiteral("X: %1  Y: %2   Tile: %3, %4").arg(x).arg(y).arg(qint64{TileOf(x)}).arg(qint64{TileOf(y)}));
    }
    zoom_->setText(ZoomText(screen ? screen_->scale() : canvas_->scale()));
}

void MapView::restoreSettings()
{
    qint32 x = 0, y = 0, width = 0, height = 0;
    using platform::StoredValue;
    if (settings_.readInteger(kSettingWidth, width) == StoredValue::Present
        && settings_.readInteger(kSettingHeight, height) == StoredValue::Present && width >= 200 && height >= 150
        && width <= kLargestWindowSide && height <= kLargestWindowSide)
        resize(width, height);
    if (settings_.readInteger(kSettingX, x) == StoredValue::Present
        && settings_.readInteger(kSettingY, y) == StoredValue::Present)
        move(x, y);
    qint32 snap = 1;
    if (settings_.readInteger(kSettingSnap, snap) == StoredValue::Present)
        setSnapping(snap != 0);
}

void MapView::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (framed_)
        return;
    framed_ = true;
    PlaceOnScreen(*this);
    showPlace();
}

void MapView::saveSettings()
{
    settings_.writeInteger(kSettingX, x());
    settings_.writeInteger(kSettingY, y());
    settings_.writeInteger(kSettingWidth, width());
    settings_.writeInteger(kSettingHeight, height());
    settings_.writeString(kDocksSetting, QString::fromLatin1(saveState().toBase64()));
    rememberPlace();
}

void MapView::closeEvent(QCloseEvent* event)
{
    saveSettings();
    QMainWindow::closeEvent(event);
}

void MapView::hideEvent(QHideEvent* event)
{
    saveSettings();
    QMainWindow::hideEvent(event);
}

void MapView::setObjectActions(ObjectActions& commands)
{
    const auto kindInView = [this] { return screenShown() ? ObjectKind::Screen : ObjectKind::Map; };
    const auto editable = [this] { return toolInView().editableSelection(); };
    addKey({QKeySequence::Cut}, [&commands, kindInView, editable] { commands.cut(kindInView(), editable()); });
    addKey({QKeySequence::Copy}, [&commands, kindInView] { commands.copy(kindInView()); });
    addKey({QKeySequence::Paste},
           [this, &commands, kindInView] { commands.paste(kindInView(), toolInView().pointerPoint()); });
    addKey({QKeySequence(Qt::CTRL | Qt::Key_D)}, [&commands, kindInView] { commands.duplicate(kindInView()); });
    addKey({QKeySequence::SelectAll}, [&commands, kindInView] { commands.selectAll(kindInView()); });
    addKey({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A)},
           [&commands, kindInView] { commands.selectUsingImage(kindInView()); });
    for (EditTool* tool : {&canvas_->tool(), screen_ ? &screen_->tool() : nullptr}) {
        if (!tool)
            continue;
        const ObjectKind kind = tool == &canvas_->tool() ? ObjectKind::Map : ObjectKind::Screen;
        tool->setMenuFiller([&commands, tool, kind](QMenu& menu, std::optional<std::size_t> row) {
            commands.fillMenu(menu, kind, row, true, tool->editableSelection(), tool->pointerPoint());
        });
    }
}

}  // namespace qel::ui
