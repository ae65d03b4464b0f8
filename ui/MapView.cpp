#include "MapView.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>

#include "FileNameText.h"
#include "Guarded.h"
#include "Latin1Text.h"

namespace qel::ui {

namespace {

const QString kSettingX = QStringLiteral("MapViewLeft");
const QString kSettingY = QStringLiteral("MapViewTop");
const QString kSettingWidth = QStringLiteral("MapViewWidth");
const QString kSettingHeight = QStringLiteral("MapViewHeight");
const QString kSettingZoom = QStringLiteral("MapViewZoom");
const QString kSettingSnap = QStringLiteral("MapViewSnapToTiles");
const QString kSettingScreenSize = QStringLiteral("MapViewScreenSize");
// A remembered size past this on either side is not a window's.
constexpr qint32 kLargestWindowSide = 16384;

const char* const kLayerNames[MapLayers::kSlots] = {
    "BelowAll",    "AfterBackground", "AfterTiles", "AfterWeapons", "AfterShips",
    "AfterGauges", "AfterChat",       "TopMost",    "Other layers",
};

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
      cache_(new platform::PictureCache(pictures, {}, this))
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

    // The screen always fits its tab: the zoom keys are the map's alone.
    addKey({Qt::Key_1}, [this] {
        if (!screenShown())
            canvas_->zoomActualSize();
    });
    addKey({Qt::Key_0}, [this] {
        if (!screenShown())
            canvas_->zoomWholeMap();
    });
    addKey({Qt::Key_F}, [this] {
        if (!screenShown())
            canvas_->fitSelection();
    });
    addKey({Qt::Key_G}, [this] { canvas_->setGridShown(!canvas_->gridShown()); });
    addKey({Qt::Key_Escape}, [this] { toolInView().cancel(); });
    addKey({Qt::Key_F5}, [this] {
        canvas_->reloadPictures();
        if (screen_)
            screen_->update();
    });
    addKey({QKeySequence(Qt::CTRL | Qt::Key_G)}, [this] { goToPosition(); });
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
    followDocumentState();
    showStatus();
}

MapView::~MapView() = default;

void MapView::addKey(const QList<QKeySequence>& keys, std::function<void()> handler)
{
    auto* action = new QAction(this);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this,
            [this, handler = std::move(handler)] { Guarded(prompter_, this, handler); });
    addAction(action);
}

void MapView::buildMenus()
{
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Map"));
    place_ = menu->addAction(QStringLiteral("&Place"));
    place_->setObjectName(QStringLiteral("Place"));
    place_->setCheckable(true);
    place_->setShortcut(Qt::Key_P);
    place_->setShortcutContext(Qt::WindowShortcut);
    place_->setEnabled(false);
    connect(place_, &QAction::toggled, this, [this](bool on) {
        if (toolInView().placing() != on)
            setPlacingNow(on);
    });
    connect(&canvas_->tool(), &EditTool::placingChanged, place_, &QAction::setChecked);
    delete_ = menu->addAction(QStringLiteral("&Delete"));
    delete_->setShortcut(Qt::Key_Delete);
    delete_->setShortcutContext(Qt::WindowShortcut);
    delete_->setEnabled(false);
    connect(delete_, &QAction::triggered, this, [this] { toolInView().deleteSelection(); });
    menu->addSeparator();
    snap_ = menu->addAction(QStringLiteral("&Snap to Tiles"));
    snap_->setObjectName(QStringLiteral("SnapToTiles"));
    snap_->setCheckable(true);
    snap_->setChecked(true);
    connect(snap_, &QAction::toggled, this, [this](bool on) {
        setToolsSnapping(on);
        settings_.writeInteger(kSettingSnap, on ? 1 : 0);
    });
    QToolBar* tools = addToolBar(QStringLiteral("Tools"));
    tools->setObjectName(QStringLiteral("MapTools"));
    tools->addAction(place_);
}

void MapView::buildLayerPanel()
{
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->addWidget(new QLabel(QStringLiteral("Layer"), panel), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Objects"), panel), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Visible"), panel), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Locked"), panel), 0, 3);
    for (int slot = 0; slot < MapLayers::kSlots; ++slot) {
        const auto i = static_cast<std::size_t>(slot);
        const QString suffix = slot == MapLayers::kOtherSlot ? QStringLiteral("Other") : QString::number(slot);
        grid->addWidget(new QLabel(QString::fromLatin1(kLayerNames[slot]), panel), slot + 1, 0);
        counts_[i] = new QLabel(QStringLiteral("0"), panel);
        counts_[i]->setObjectName(QStringLiteral("LayerCount") + suffix);
        counts_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(counts_[i], slot + 1, 1);
        visible_[i] = new QCheckBox(panel);
        visible_[i]->setObjectName(QStringLiteral("LayerVisible") + suffix);
        visible_[i]->setChecked(true);
        grid->addWidget(visible_[i], slot + 1, 2, Qt::AlignCenter);
        locked_[i] = new QCheckBox(panel);
        locked_[i]->setObjectName(QStringLiteral("LayerLocked") + suffix);
        grid->addWidget(locked_[i], slot + 1, 3, Qt::AlignCenter);
        connect(visible_[i], &QCheckBox::toggled, this, &MapView::applyLayers);
        connect(locked_[i], &QCheckBox::toggled, this, &MapView::applyLayers);
    }
    grid->setRowStretch(MapLayers::kSlots + 1, 1);
    auto* dock = new QDockWidget(QStringLiteral("Layers"), this);
    dock->setObjectName(QStringLiteral("MapLayers"));
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setWidget(panel);
    addDockWidget(Qt::RightDockWidgetArea, dock);
}

void MapView::applyLayers()
{
    MapLayers layers;
    for (int slot = 0; slot < MapLayers::kSlots; ++slot) {
        layers.setVisible(slot, visible_[static_cast<std::size_t>(slot)]->isChecked());
        layers.setLocked(slot, locked_[static_cast<std::size_t>(slot)]->isChecked());
    }
    toolInView().setLayers(layers);
}

void MapView::showLayerBoxes()
{
    const MapLayers& layers = toolInView().layers();
    for (int slot = 0; slot < MapLayers::kSlots; ++slot) {
        const auto i = static_cast<std::size_t>(slot);
        const QSignalBlocker quietVisible(visible_[i]);
        const QSignalBlocker quietLocked(locked_[i]);
        visible_[i]->setChecked(layers.visible(slot));
        locked_[i]->setChecked(layers.locked(slot));
    }
}

void MapView::countLater()
{
    // Counted once after a burst of notices, not once per notice.
    if (!countsPending_) {
        countsPending_ = true;
        QTimer::singleShot(0, this, &MapView::showLayerCounts);
    }
}

void MapView::showLayerCounts()
{
    countsPending_ = false;
    // Only the tab in view is counted: the screen's few objects are cheap
    // to count after any change, the map's million only when it shows.
    const auto counts = screenShown() ? screen_->layerCounts() : MapLayers::count(canvas_->index());
    for (int slot = 0; slot < MapLayers::kSlots; ++slot)
        counts_[static_cast<std::size_t>(slot)]->setText(QString::number(counts[static_cast<std::size_t>(slot)]));
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
}

void MapView::goToPosition()
{
    // The position is the map's, and shows there.
    showScreen(false);
    const QPointF centre =
        canvas_->mapPointAt(QPointF(canvas_->viewport()->width() / 2.0, canvas_->viewport()->height() / 2.0));
    const QString start = QStringLiteral("%1,%2").arg(std::floor(centre.x())).arg(std::floor(centre.y()));
    const std::optional<QString> answer =
        prompter_.askText(this, QStringLiteral("Go to Position"), QStringLiteral("X,Y"), start);
    if (!answer)
        return;
    const auto point = ParseMapPosition(CheckedBytes(*answer));
    if (!point) {
        prompter_.error(this, QStringLiteral("'%1' is not a position: enter X,Y as two whole numbers.").arg(*answer));
        return;
    }
    canvas_->centreOn(point->first, point->second);
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
    qint32 x = 0, y = 0, width = 0, height = 0, zoom = 0;
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
    if (settings_.readInteger(kSettingZoom, zoom) == StoredValue::Present)
        canvas_->setZoomLevel(zoom);
    else
        wholeMapOnShow_ = true;
}

void MapView::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (framed_)
        return;
    framed_ = true;
    // The whole map the first time; after that the map's middle at the
    // remembered zoom.
    if (wholeMapOnShow_)
        canvas_->zoomWholeMap();
    else
        canvas_->centreOn(kMapExtent / 2.0, kMapExtent / 2.0);
}

void MapView::saveSettings()
{
    settings_.writeInteger(kSettingX, x());
    settings_.writeInteger(kSettingY, y());
    settings_.writeInteger(kSettingWidth, width());
    settings_.writeInteger(kSettingHeight, height());
    settings_.writeInteger(kSettingZoom, canvas_->zoomLevel());
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

}  // namespace qel::ui
