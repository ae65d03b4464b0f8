#pragma once
// The main window's commands, its menu bar and its tool bar. The commands
// "New", "aOpen", "Save", "SaveAs", "Exit" and "Compile" are shared by the
// File menu and the tool bar; Edit holds "Undo1" and "Redo1", named after
// the steps they would undo and redo, then the commands on the object list
// in view ("Cut1", "Copy1", ... "Find1"); View is hidden until it has an entry;
// then "Options1" and Help's "QelHelp1" and "About1". All are made on the
// window under those names; the window says what each runs.

#include <QObject>
#include <cstddef>
#include <functional>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;
class QWidget;

namespace qel::app {
class DocumentSession;
}

namespace qel::ui {

class MainMenus : public QObject {
    Q_OBJECT
public:
    struct Handlers {
        std::function<void()> newDocument, open, save, saveAs, exit, compile;
        std::function<void()> undo, redo, options, help, about;
        // The Edit menu's commands on the object list in view.
        std::function<void()> cut, copy, paste, duplicate, remove, selectAll, selectUsingImage;
    };

    // The tool bar goes at the top of `inner`, across it.
    MainMenus(QMainWindow& window, QWidget& inner, app::DocumentSession& session, const Handlers& handlers);

    // Puts an entry in the View menu (a window beside the sections) and
    // shows the menu.
    void addViewEntry(QAction* entry);
    // Ctrl+Z and Ctrl+Y in the window's edits reach Undo and Redo; Alt with
    // a letter reaches the menus and never types.
    void installHistoryKeys(QWidget& window);
    // The Edit menu's object entries are enabled when they have something
    // to act on: `selected` rows of the list shown, `rows` in it.
    void enableObjectEntries(std::size_t selected, std::size_t rows);
    // File > "Open Recent", empty until the window fills it.
    QMenu* recentFilesMenu() const { return RecentFiles1; }

signals:
    // Edit > "Change Selected Objects..." and Edit > Find.
    void changeSelectedRequested();
    void findRequested();

private:
    void buildObjectEntries(QMenu& edit, QMainWindow& window, const Handlers& handlers);
    void buildCommands(QMainWindow& window, const Handlers& handlers);
    void buildMenu(QMainWindow& window, const Handlers& handlers);
    void buildToolBar(QWidget& inner);
    void showHistory();

    app::DocumentSession& session_;
    QAction* New;
    QAction* aOpen;
    QAction* Save;
    QAction* SaveAs;
    QAction* Exit;
    QAction* Compile;
    QAction* Undo1;
    std::vector<QAction*> onSelection_;
    std::vector<QAction*> onRows_;
    QAction* Redo1;
    QMenu* View1;
    QMenu* RecentFiles1 = nullptr;
};

}  // namespace qel::ui
