#include "MapView.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
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

const char* const kLayerNames[MapLayers::kSlots] = {
    "BelowAll",    "AfterBackground", "AfterTiles", "AfterWeapons", "AfterShips",
    "AfterGauges", "AfterChat",       "TopMost",    "Other layers",
};

qint64 TileOf(double position)
{
    return static_cast<qint64>(std::floor(position / kTileSide));
}

}  // namespace

MapView::MapView(app::DocumentSession& session, QItemSelectionModel& mapSelection, platform::SettingsStore& settings,
                 platform::PictureService& pictures, Prompter& prompter, QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      session_(session),
      settings_(settings),
      prompter_(prompter),
      cache_(std::make_unique<platform::PictureCache>(pictures))
{
    setObjectName(QStringLiteral("MapView"));
    canvas_ = new MapCanvas(session, mapSelection, *cache_, this);
    setCentralWidget(canvas_);
    position_ = new QLabel(this);
    zoom_ = new QLabel(this);
    statusBar()->addWidget(position_, 1);
    statusBar()->addPermanentWidget(zoom_);
    connect(canvas_, &MapCanvas::objectActivated, this, &MapView::objectActivated);
    connect(canvas_, &MapCanvas::pointerMoved, this, &MapView::showPointer);
    connect(canvas_, &MapCanvas::zoomChanged, this, [this](int step) {
        zoom_->setText(QStringLiteral("Zoom: %1%").arg(std::exp2(step / 4.0) * 100, 0, 'f', step < -8 ? 1 : 0));
    });
    connect(&session, &app::DocumentSession::documentStateChanged, this, &MapView::followDocumentState);

    addKey({Qt::Key_1}, [this] { canvas_->zoomActualSize(); });
    addKey({Qt::Key_0}, [this] { canvas_->zoomWholeMap(); });
    addKey({Qt::Key_F}, [this] { canvas_->fitSelection(); });
    addKey({Qt::Key_G}, [this] { canvas_->setGridShown(!canvas_->gridShown()); });
    addKey({Qt::Key_Escape}, [this] {
        if (canvas_->placing())
            canvas_->setPlacing(false);
        else
            canvas_->selectNothing();
    });
    addKey({Qt::Key_F5}, [this] { canvas_->reloadPictures(); });
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
    connect(canvas_, &MapCanvas::objectsChanged, this, [this] {
        // Counted once after a burst of notices, not once per notice.
        if (!countsPending_) {
            countsPending_ = true;
            QTimer::singleShot(0, this, &MapView::showLayerCounts);
        }
    });

    resize(800, 600);
    restoreSettings();
    followDocumentState();
    emit canvas_->zoomChanged(canvas_->zoomStep());
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
    place_->setCheckable(true);
    place_->setShortcut(Qt::Key_P);
    place_->setShortcutContext(Qt::WindowShortcut);
    place_->setEnabled(false);
    connect(place_, &QAction::toggled, this, [this](bool on) {
        if (canvas_->placing() != on)
            canvas_->setPlacing(on);
    });
    connect(canvas_, &MapCanvas::placingChanged, this, [this](bool on) { place_->setChecked(on); });
    delete_ = menu->addAction(QStringLiteral("&Delete"));
    delete_->setShortcut(Qt::Key_Delete);
    delete_->setShortcutContext(Qt::WindowShortcut);
    delete_->setEnabled(false);
    connect(delete_, &QAction::triggered, this, [this] { canvas_->deleteSelection(); });
    menu->addSeparator();
    snap_ = menu->addAction(QStringLiteral("&Snap to Tiles"));
    snap_->setCheckable(true);
    snap_->setChecked(true);
    connect(snap_, &QAction::toggled, this, [this](bool on) {
        canvas_->setSnapping(on);
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
        grid->addWidget(new QLabel(QString::fromLatin1(kLayerNames[slot]), panel), slot + 1, 0);
        counts_[i] = new QLabel(QStringLiteral("0"), panel);
        counts_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(counts_[i], slot + 1, 1);
        visible_[i] = new QCheckBox(panel);
        visible_[i]->setChecked(true);
        grid->addWidget(visible_[i], slot + 1, 2, Qt::AlignCenter);
        locked_[i] = new QCheckBox(panel);
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
    canvas_->setLayers(layers);
}

void MapView::showLayerCounts()
{
    countsPending_ = false;
    const auto counts = MapLayers::count(canvas_->index());
    for (int slot = 0; slot < MapLayers::kSlots; ++slot)
        counts_[static_cast<std::size_t>(slot)]->setText(QString::number(counts[static_cast<std::size_t>(slot)]));
}

void MapView::setEditor(MapEditor* editor)
{
    editor_ = editor;
    canvas_->setEditor(editor);
    delete_->setEnabled(editor != nullptr);
    refreshPlacing();
}

void MapView::refreshPlacing()
{
    const bool can = editor_ && editor_->canPlace();
    place_->setEnabled(can);
    if (!can)
        canvas_->setPlacing(false);
}

void MapView::setSnapping(bool on)
{
    snap_->setChecked(on);
    canvas_->setSnapping(on);
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

void MapView::showPointer(QPointF p)
{
    position_->setText(QStringLiteral("X: %1  Y: %2   Tile: %3, %4")
                           .arg(static_cast<qint64>(std::floor(p.x())))
                           .arg(static_cast<qint64>(std::floor(p.y())))
                           .arg(TileOf(p.x()))
                           .arg(TileOf(p.y())));
}

void MapView::restoreSettings()
{
    qint32 x = 0, y = 0, width = 0, height = 0, zoom = 0;
    using platform::StoredValue;
    if (settings_.readInteger(kSettingWidth, width) == StoredValue::Present
        && settings_.readInteger(kSettingHeight, height) == StoredValue::Present && width >= 200 && height >= 150
        && width <= 16384 && height <= 16384)
        resize(width, height);
    if (settings_.readInteger(kSettingX, x) == StoredValue::Present
        && settings_.readInteger(kSettingY, y) == StoredValue::Present)
        move(x, y);
    qint32 snap = 1;
    if (settings_.readInteger(kSettingSnap, snap) == StoredValue::Present)
        setSnapping(snap != 0);
    if (settings_.readInteger(kSettingZoom, zoom) == StoredValue::Present)
        canvas_->setZoomStep(zoom);
    else
        canvas_->zoomWholeMap();
}

void MapView::saveSettings()
{
    settings_.writeInteger(kSettingX, x());
    settings_.writeInteger(kSettingY, y());
    settings_.writeInteger(kSettingWidth, width());
    settings_.writeInteger(kSettingHeight, height());
    settings_.writeInteger(kSettingZoom, canvas_->zoomStep());
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
