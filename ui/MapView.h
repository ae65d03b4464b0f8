#pragma once
// The Map View window: the map canvas, its keys, and a status bar with the
// map position under the pointer, its tile and the zoom. It owns no document
// state: the session, the map object list's selection model, the settings and
// the pictures are handed in, and a click on an object is passed on as
// objectActivated() for the main window to load the row into its editor.

#include <QMainWindow>
#include <functional>
#include <memory>

#include "DocumentSession.h"
#include "MapCanvas.h"
#include "PictureCache.h"
#include "Prompter.h"
#include "SettingsStore.h"

class QLabel;

namespace qel::ui {

class MapView : public QMainWindow {
    Q_OBJECT
public:
    MapView(app::DocumentSession& session, QItemSelectionModel& mapSelection, platform::SettingsStore& settings,
            platform::PictureService& pictures, Prompter& prompter, QWidget* parent = nullptr);
    ~MapView() override;

    MapCanvas& canvas() { return *canvas_; }
    platform::PictureCache& pictureCache() { return *cache_; }

    // "Map - NAME", or "Map - Untitled" for an empty name.
    void setTitleFileName(const QString& name);
    // "Go to Position": asks for "X,Y" and centres the view there.
    void goToPosition();

signals:
    void objectActivated(int row);

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void addKey(const QList<QKeySequence>& keys, std::function<void()> handler);
    void restoreSettings();
    void saveSettings();
    void showPointer(QPointF mapPoint);
    void followDocumentState();

    app::DocumentSession& session_;
    platform::SettingsStore& settings_;
    Prompter& prompter_;
    std::unique_ptr<platform::PictureCache> cache_;
    MapCanvas* canvas_ = nullptr;
    QLabel* position_ = nullptr;
    QLabel* zoom_ = nullptr;
};

}  // namespace qel::ui
