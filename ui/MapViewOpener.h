#pragma once
// View > "Map View" (Ctrl+M, entry "MapView1"): the map window beside the
// main one, made when first opened and closed with it. A pick there makes
// the object's row current in the Objects Section; placing reads the
// section's object editor as Add does.

#include <cstddef>
#include <functional>
#include <memory>

#include "core/EntryLine.h"

class QAction;
class QWidget;

namespace qel::app {
class DocumentSession;
class ObjectCommands;
}  // namespace qel::app
namespace qel::platform {
class PictureService;
class SettingsStore;
}  // namespace qel::platform

namespace qel::ui {

class MapEditor;
class MapView;
class ObjectActions;
class ObjectsSection;
class Prompter;

class MapViewOpener {
public:
    MapViewOpener(app::DocumentSession& session, app::ObjectCommands& commands, ObjectsSection& objects,
                  platform::SettingsStore& store, platform::PictureService& pictures, Prompter& prompter,
                  QWidget& window);
    // The map window goes, and its editors after it.
    ~MapViewOpener();

    QAction* entry() const { return entry_; }
    // Opens the map window, or raises it.
    void show();
    // An open map window brings the object into view; a closed one stays so.
    void showObject(ObjectKind kind, std::size_t row);
    // Pictures changed on disk: an open map window shows them anew.
    void refreshPictures();
    // The keys and menus of the commands on many objects, once the window is made.
    void setObjectActions(ObjectActions* actions) { actions_ = actions; }
    // Opens the map window centred on a map object.
    void showInMap(std::size_t row);
    // Who shows an image in the Image Section (a double click in the palette).
    void setShowImage(std::function<void(int position)> show) { showImage_ = std::move(show); }

private:
    // The docks and the stamp beside the map (MapPanels).
    void addPanels();

    app::DocumentSession& session_;
    app::ObjectCommands& commands_;
    ObjectsSection& objects_;
    platform::SettingsStore& store_;
    platform::PictureService& pictures_;
    Prompter& prompter_;
    QWidget& window_;
    QAction* entry_;
    ObjectActions* actions_ = nullptr;
    std::function<void(int)> showImage_;
    std::unique_ptr<MapEditor> mapEditor_;
    std::unique_ptr<MapEditor> screenEditor_;
    // Made when first opened; a window of its own.
    MapView* mapView_ = nullptr;
};

}  // namespace qel::ui
