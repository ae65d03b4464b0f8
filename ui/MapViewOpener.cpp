#include "ui/MapViewOpener.h"

#include <QAction>

#include "ui/Guarded.h"
#include "ui/MapPanels.h"
#include "ui/MapSessionEditor.h"
#include "ui/MapView.h"
#include "ui/ObjectsSection.h"

namespace qel::ui {

MapViewOpener::MapViewOpener(app::DocumentSession& session, app::ObjectCommands& commands, ObjectsSection& objects,
                             platform::SettingsStore& store, platform::PictureService& pictures, Prompter& prompter,
                             QWidget& window)
    : session_(session),
      commands_(commands),
      objects_(objects),
      store_(store),
      pictures_(pictures),
      prompter_(prompter),
      window_(window),
      entry_(new QAction(QStringLiteral("Map View"), &window))
{
    entry_->setObjectName(QStringLiteral("MapView1"));
    entry_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    QObject::connect(entry_, &QAction::triggered, &window,
                     [this] { Guarded(prompter_, &window_, [this] { show(); }); });
}

MapViewOpener::~MapViewOpener()
{
    delete mapView_;
}

void MapViewOpener::refreshPictures()
{
    if (mapView_ != nullptr)
        mapView_->refreshPictures();
}

void MapViewOpener::showObject(ObjectKind kind, std::size_t row)
{
    if (mapView_ != nullptr && mapView_->isVisible())
        mapView_->centreOnObject(kind, row);
}

void MapViewOpener::show()
{
    if (mapView_ == nullptr) {
        mapView_ = new MapView(session_, *objects_.mapSelection(), store_, pictures_, prompter_, &window_);
        // A window of its own beside this one, not a part of it.
        mapView_->setWindowFlag(Qt::Window);
        QObject::connect(mapView_, &MapView::objectActivated, &objects_,
                         [this](int row) { objects_.makeRowCurrent(ObjectKind::Map, static_cast<std::size_t>(row)); });
        QObject::connect(mapView_, &MapView::screenObjectActivated, &objects_, [this](int row) {
            objects_.makeRowCurrent(ObjectKind::Screen, static_cast<std::size_t>(row));
        });
        mapView_->attachScreenObjects(*objects_.screenSelection());
        // Placing reads the object editor as Add does; steps keep the lists'
        // view for undo as the section's own steps do.
        const auto values = [this] { return objects_.editorValues(); };
        const auto view = [this] { return objects_.CurrentViewState(); };
        mapEditor_ = std::make_unique<MapSessionEditor>(commands_, ObjectKind::Map, prompter_, mapView_, values, view);
        screenEditor_ =
            std::make_unique<MapSessionEditor>(commands_, ObjectKind::Screen, prompter_, mapView_, values, view);
        mapView_->setEditor(mapEditor_.get(), screenEditor_.get());
        QObject::connect(&objects_, &ObjectsSection::objectImageChanged, mapView_, &MapView::refreshPlacing);
        addPanels();
        if (actions_)
            mapView_->setObjectActions(*actions_);
        mapView_->setKeptMapRows(objects_.mapKeptRows());
        QObject::connect(&objects_, &ObjectsSection::mapKeptRowsChanged, mapView_,
                         [this] { mapView_->setKeptMapRows(objects_.mapKeptRows()); });
    }
    mapView_->show();
    mapView_->raise();
    mapView_->activateWindow();
}

void MapViewOpener::addPanels()
{
    MapPanelSources sources;
    sources.values = [this] { return objects_.editorValues(); };
    sources.view = [this] { return objects_.CurrentViewState(); };
    sources.choose = [this](int position) { objects_.chooseImage(position); };
    sources.showImage = [this](int position) {
        if (showImage_)
            showImage_(position);
    };
    sources.mapSelection = objects_.mapSelection();
    sources.screenSelection = objects_.screenSelection();
    sources.placer = mapEditor_.get();
    auto* panels = new MapPanels(*mapView_, session_, commands_, prompter_, std::move(sources));
    QObject::connect(&objects_, &ObjectsSection::objectImageChanged, panels, &MapPanels::followImageChoice);
}

void MapViewOpener::showInMap(std::size_t row)
{
    show();
    mapView_->centreOnObject(ObjectKind::Map, row);
}

}  // namespace qel::ui
