#pragma once
// View > "Problems" (Ctrl+Shift+P, entry "Problems1"): the Problems window,
// kept current by its monitor, and the counts it keeps in the status bar,
// which open it too.

#include <QObject>
#include <memory>

class QAction;
class QWidget;

namespace qel {
enum class ProblemPlace;
}
namespace qel::app {
class DocumentSession;
class ProblemMonitor;
class ProblemPictures;
}  // namespace qel::app
namespace qel::platform {
class FileOperations;
class PictureService;
}  // namespace qel::platform

namespace qel::ui {

class MainStatusBar;
class ProblemsView;

class ProblemsOpener : public QObject {
    Q_OBJECT
public:
    // The window's services: pictures are decoded beside the window's
    // thread when `pictures` can (see ProblemPictures), files looked for
    // through `files`.
    ProblemsOpener(app::DocumentSession& session, platform::PictureService& pictures,
                   const platform::FileOperations& files, MainStatusBar& status, QWidget& window);
    ~ProblemsOpener() override;

    QAction* entry() const { return entry_; }
    app::ProblemMonitor& monitor() { return *monitor_; }
    void show();

signals:
    // Show the cause: `row` of `place`'s list.
    void problemActivated(qel::ProblemPlace place, int row);

private:
    void showCounts();

    MainStatusBar& status_;
    std::unique_ptr<app::ProblemPictures> pictures_;
    std::unique_ptr<app::ProblemMonitor> monitor_;
    std::unique_ptr<ProblemsView> view_;
    QAction* entry_;
};

}  // namespace qel::ui
