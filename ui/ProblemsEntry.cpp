#include <QStatusBar>
#include <QToolButton>

#include "ProblemMonitor.h"
#include "ProblemPictures.h"
#include "ProblemsView.h"
#include "TMainFrm.h"

// The Problems window and its counts.

void TMainFrm::BuildProblems()
{
    // Pictures a test hands in are decoded at once with it; the desktop's
    // are decoded beside the window's thread.
    problemPictures_ = std::make_unique<qel::app::ProblemPictures>(ownPictures_ ? nullptr : pictures_);
    problemMonitor_ = std::make_unique<qel::app::ProblemMonitor>(session_, *problemPictures_);
    problemsView_ = std::make_unique<qel::ui::ProblemsView>(*problemMonitor_, this);
    connect(problemsView_.get(), &qel::ui::ProblemsView::problemActivated, this, &TMainFrm::ShowProblemCause);

    Problems1 = new QAction(QStringLiteral("Problems"), this);
    Problems1->setObjectName(QStringLiteral("Problems1"));
    Problems1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    connect(Problems1, &QAction::triggered, this, &TMainFrm::ShowProblems);
    AddViewEntry(Problems1);

    ProblemCounts = new QToolButton(Status);
    ProblemCounts->setObjectName(QStringLiteral("ProblemCounts"));
    ProblemCounts->setAutoRaise(true);
    ProblemCounts->setToolTip(QStringLiteral("Show the Problems window"));
    Status->addPermanentWidget(ProblemCounts);
    connect(ProblemCounts, &QToolButton::clicked, this, &TMainFrm::ShowProblems);
    connect(problemMonitor_.get(), &qel::app::ProblemMonitor::problemsChanged, this, &TMainFrm::ShowProblemCounts);
    ShowProblemCounts();
}

void TMainFrm::ShowProblems()
{
    problemsView_->show();
    problemsView_->raise();
    problemsView_->activateWindow();
}

void TMainFrm::ShowProblemCounts()
{
    QString text = qel::ui::ProblemCountsText(problemMonitor_->counts());
    if (problemMonitor_->checking())
        text += QStringLiteral("...");
    ProblemCounts->setText(text);
}
