#pragma once
// The map window as the place objects are made: the Images, Properties and
// Overview docks, the stamp, and the object under the pointer, added to a
// map view. The docks can be moved, floated and closed; their layout is kept
// with the window's (MapView::restoreDocks). Their View menu entries:
// "ShowImages" (Ctrl+I, which also puts the keyboard in the palette),
// "ShowProperties" (Ctrl+Shift+I), "ShowOverview" (Ctrl+Shift+O); the Map
// menu's "Stamp" (B), beside Place, which it ends and which ends it.
// View > "Dock Problems" and "Dock Compiler Output" ("DockProblemsView",
// "DockCompilerOutput") take those windows into docks here; unticked, or
// their dock closed, they are windows of their own again, as they are when
// the map window goes.

#include <QItemSelectionModel>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

#include "app/DocumentSession.h"
#include "ui/PanelCommands.h"

class QAction;
class QDockWidget;

namespace qel::ui {

class ImagesPanel;
class MapEditor;
class MapView;
class OverviewPanel;
class PointerReport;
class Prompter;
class PropertiesPanel;
class StampTool;

struct MapPanelSources {
    PanelCommands::ValuesSource values;           // the object editor's values
    PanelCommands::ViewSource view;               // the lists' view before a step; may be empty
    std::function<void(int position)> choose;     // makes an image the editor's choice
    std::function<void(int position)> showImage;  // shows it in the Image Section; may be empty
    QItemSelectionModel* mapSelection = nullptr;
    QItemSelectionModel* screenSelection = nullptr;  // none: the map's alone
    MapEditor* placer = nullptr;                     // the map view's Place
};

class MapPanels : public QObject {
    Q_OBJECT
public:
    MapPanels(MapView& view, app::DocumentSession& session, app::ObjectCommands& commands, Prompter& prompter,
              MapPanelSources sources);
    ~MapPanels() override;

    // The object editor's image choice changed: the palette and the stamp follow.
    void followImageChoice();

    PanelCommands& commands() { return *commands_; }
    StampTool& stamp() const { return *stamp_; }
    ImagesPanel& images() const { return *images_; }
    PropertiesPanel& properties() const { return *properties_; }
    OverviewPanel& overview() const { return *overview_; }
    PointerReport& pointer() const { return *pointer_; }

private:
    // A window of the main one, borrowed into a dock of this one.
    struct Borrowed {
        QPointer<QWidget> widget;
        QPointer<QWidget> owner;
        QDockWidget* dock = nullptr;
        QAction* action = nullptr;
    };
    void addWindowDock(const char* windowName, const QString& title);
    void dockWindow(Borrowed& borrowed, const QString& windowName, bool on);
    QDockWidget* addDock(QWidget* panel, const QString& title, const char* name, Qt::DockWidgetArea area);
    void addStamp();
    void followTab();

    MapView& view_;
    MapPanelSources sources_;
    std::unique_ptr<PanelCommands> commands_;
    StampTool* stamp_ = nullptr;
    QAction* stampAction_ = nullptr;
    ImagesPanel* images_ = nullptr;
    PropertiesPanel* properties_ = nullptr;
    OverviewPanel* overview_ = nullptr;
    PointerReport* pointer_ = nullptr;
    std::vector<std::unique_ptr<Borrowed>> borrowed_;
};

}  // namespace qel::ui
