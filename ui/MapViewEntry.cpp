#include "MapSessionEditor.h"
#include "MapView.h"
#include "ObjectsSection.h"
#include "TMainFrm.h"

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
