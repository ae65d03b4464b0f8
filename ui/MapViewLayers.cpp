// The map view's layer panel: each layer's count, and whether it is shown
// and locked.
#include <QCheckBox>
#include <QDockWidget>
#include <QGridLayout>
#include <QLabel>
#include <QTimer>

#include "ui/MapView.h"

namespace qel::ui {

namespace {

const char* const kLayerNames[MapLayers::kSlots] = {
    "BelowAll",    "AfterBackground", "AfterTiles", "AfterWeapons", "AfterShips",
    "AfterGauges", "AfterChat",       "TopMost",    "Other layers",
};

}  // namespace

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

}  // namespace qel::ui
