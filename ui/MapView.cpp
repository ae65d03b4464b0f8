#include "MapView.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>
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
    addKey({Qt::Key_Escape}, [this] { canvas_->selectNothing(); });
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
