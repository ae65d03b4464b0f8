#include "ui/ProblemsOpener.h"

#include <QAction>

#include "app/ProblemMonitor.h"
#include "app/ProblemPictures.h"
#include "ui/MainStatusBar.h"
#include "ui/ProblemsView.h"

namespace qel::ui {

ProblemsOpener::ProblemsOpener(app::DocumentSession& session, platform::PictureService& pictures,
                               const platform::FileOperations& files, MainStatusBar& status, QWidget& window)
    : status_(status),
      pictures_(std::make_unique<app::ProblemPictures>(pictures)),
      monitor_(std::make_unique<app::ProblemMonitor>(session, *pictures_, files, true)),
      view_(std::make_unique<ProblemsView>(*monitor_, &window)),
      entry_(new QAction(QStringLiteral("Problems"), &window))
{
    connect(view_.get(), &ProblemsView::problemActivated, this, &ProblemsOpener::problemActivated);

    entry_->setObjectName(QStringLiteral("Problems1"));
    entry_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    connect(entry_, &QAction::triggered, this, &ProblemsOpener::show);

    connect(&status_, &MainStatusBar::problemCountsClicked, this, &ProblemsOpener::show);
    connect(monitor_.get(), &app::ProblemMonitor::problemsChanged, this, &ProblemsOpener::showCounts);
    showCounts();
}

ProblemsOpener::~ProblemsOpener() = default;

void ProblemsOpener::show()
{
    view_->show();
    view_->raise();
    view_->activateWindow();
}

void ProblemsOpener::showCounts()
{
    QString text = ProblemCountsText(monitor_->counts());
    if (monitor_->checking())
        text += QStringLiteral("...");
    status_.showProblemCounts(text);
}

}  // namespace qel::ui
