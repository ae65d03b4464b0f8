#pragma once
// The Map View window: the map canvas, its keys, and a status bar with the
// position under the pointer, its tile and the zoom of the tab in view. The
// Layers panel, too, shows, counts, hides and locks the tab in view. It owns no document
// state: the session, the map object list's selection model, the settings and
// the pictures are handed in, and a click on an object is passed on as
// objectActivated() for the main window to load the row into its editor.
//
// Its widgets are private; they are found by objectName:
//   "MapCanvas", "MapScreenCanvas", "ScreenSizeBox", "UnplaceableLabel",
//   the Map menu's actions "Place", "Delete" and "SnapToTiles", the View
//   menu's "ZoomIn", "ZoomOut", "ActualSize", "WholeMap", "FitSelection",
//   "ShowGrid", "GoToPosition" and "ReloadPictures", and per layer slot
//   N = 0-7 the boxes "LayerVisibleN" and "LayerLockedN" and the label "LayerCountN",
//   with "Other" in place of N for "Other layers"; the status bar's labels
//   "StatusPosition" and "StatusZoom"; and the cache of the pictures both
//   tabs draw, "PictureCache".
//
// Each command's key is bound once, by its menu action, and works whichever
// part of the window has the focus; Escape and Delete act on the tab in view
// through its editing tool. The zoom and the middle of the map are kept per
// definition file (app::MapPlaces).

#include <QMainWindow>
#include <array>
#include <functional>

#include "app/DocumentSession.h"
#include "app/MapPlaces.h"
#include "platform/PictureCache.h"
#include "platform/SettingsStore.h"
#include "ui/MapCanvas.h"
#include "ui/MapScreenCanvas.h"
#include "ui/Prompter.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QTabWidget;

namespace qel::ui {

class ObjectActions;

class MapView : public QMainWindow {
    Q_OBJECT
public:
    MapView(app::DocumentSession& session, QItemSelectionModel& mapSelection, platform::SettingsStore& settings,
            platform::PictureService& pictures, Prompter& prompter, QWidget* parent = nullptr);
    ~MapView() override;

    // Who makes the view's edits on the map and on the screen; none leaves
    // that tab for looking only.
    void setEditor(MapEditor* editor, MapEditor* screenEditor = nullptr);
    // Adds the "Screen" tab, sharing the screen object list's selection.
    void attachScreenObjects(QItemSelectionModel& screenSelection);
    bool screenShown() const;
    void showScreen(bool on);
    // The editor's "can place" changed (an image was chosen or cleared).
    void refreshPlacing();
    void setSnapping(bool on);
    // Pictures changed on disk: those drawn are read again (F5 reads all).
    void refreshPictures();
    // The map rows a filter keeps (ascending); the others are drawn dimmed.
    void setKeptMapRows(std::shared_ptr<const std::vector<std::uint32_t>> rows);

    // "Map - NAME", or "Map - Untitled" for an empty name.
    void setTitleFileName(const QString& name);
    // "Go to Position": asks for "X,Y" and centres the map there.
    void goToPosition();
    // Brings the object of `kind`'s list at `row` into view: the map centred
    // on it, or the Screen tab.
    void centreOnObject(ObjectKind kind, std::size_t row);
    // Cut, Copy, Paste (at the pointer), Duplicate, Select All and Select
    // Objects Using Image on the tab in view, by their keys and in the
    // context menus.
    void setObjectActions(ObjectActions& commands);

    // For the panels beside the map (MapPanels): the map canvas, the
    // pictures it draws, the menus they add their entries to.
    MapCanvas& canvas() const { return *canvas_; }
    platform::PictureCache& pictureCache() const { return *cache_; }
    QMenu* mapMenu() const { return mapMenu_; }
    QMenu* viewMenu() const { return viewMenu_; }
    // Escape asks this first; when it took the key, the tool in view does not.
    void setEscapeFirst(std::function<bool()> first) { escapeFirst_ = std::move(first); }
    // The docks' layout as last kept, once every dock is there.
    void restoreDocks()
    {
        QString kept;
        if (settings_.readString(kDocksSetting, kept) == platform::StoredValue::Present)
            restoreState(QByteArray::fromBase64(kept.toLatin1()));
    }
    static inline const QString kDocksSetting = QStringLiteral("MapViewDocks");

signals:
    void objectActivated(int row);
    // A click on the Screen tab: the row of the screen object list.
    void screenObjectActivated(int row);
    // The Map or the Screen tab was brought into view.
    void tabChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void addKey(const QList<QKeySequence>& keys, std::function<void()> handler);
    void restoreSettings();
    void saveSettings();
    void showStatus();
    void followDocumentState();
    void followReplacedDocument();
    static QString AbsolutePath(const std::string& file);
    // The zoom and middle of the map, kept for the file in view and shown
    // for it.
    void rememberPlace();
    void showPlace();
    void buildMenus();
    QAction* addCommand(QMenu* menu, const char* name, const QString& text, const QList<QKeySequence>& keys,
                        std::function<void()> handler);
    void zoomBy(int steps);
    void buildLayerPanel();
    void applyLayers();
    // The boxes show the layers of the tab in view.
    void showLayerBoxes();
    void countLater();
    void showLayerCounts();
    void showUnplaceable();
    // The editing tool of the tab in view.
    EditTool& toolInView() const;
    void setPlacingNow(bool on);
    void setToolsSnapping(bool on);

    app::DocumentSession& session_;
    platform::SettingsStore& settings_;
    Prompter& prompter_;
    platform::PictureCache* cache_ = nullptr;
    MapCanvas* canvas_ = nullptr;
    QLabel* position_ = nullptr;
    QLabel* zoom_ = nullptr;
    MapEditor* editor_ = nullptr;
    MapEditor* screenEditor_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    MapScreenCanvas* screen_ = nullptr;
    QComboBox* screenSize_ = nullptr;
    QLabel* unplaceable_ = nullptr;
    QAction* place_ = nullptr;
    QAction* snap_ = nullptr;
    QAction* delete_ = nullptr;
    std::array<QCheckBox*, MapLayers::kSlots> visible_{};
    std::array<QCheckBox*, MapLayers::kSlots> locked_{};
    std::array<QLabel*, MapLayers::kSlots> counts_{};
    bool countsPending_ = false;
    // The map is framed once the view has its size: before that, whatever it
    // centres on would be centred in a viewport of no size.
    bool framed_ = false;
    app::MapPlaces places_;
    // The absolute path of the file whose map is in view; empty: untitled.
    QString placeFile_;
    bool renamePending_ = false;
    QMenu* mapMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    std::function<bool()> escapeFirst_;
};

}  // namespace qel::ui
