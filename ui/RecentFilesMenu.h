#pragma once
// File > "Open Recent": the recent definitions newest first, each by its
// file name with its folder in the tooltip ("RecentFile1", "RecentFile2",
// ...), then "Clear Recent Files" ("ClearRecentFiles1").

#include <QObject>
#include <functional>

class QMenu;

namespace qel::app {
class RecentFiles;
}

namespace qel::ui {

class RecentFilesMenu : public QObject {
    Q_OBJECT
public:
    // `open` opens a recent file's path.
    RecentFilesMenu(QMenu& menu, app::RecentFiles& recent, std::function<void(const QString&)> open);

    // Makes the entries again from the list.
    void refresh();

private:
    QMenu& menu_;
    app::RecentFiles& recent_;
    std::function<void(const QString&)> open_;
};

}  // namespace qel::ui
