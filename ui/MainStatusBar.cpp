#include "ui/MainStatusBar.h"

#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QToolButton>

#include "app/RecoveryStore.h"
#include "ui/Prompter.h"

namespace qel::ui {

namespace {

// A status text that shows as much as fits, eliding its middle: the reason at
// its end says as much as its start. The whole is in the tooltip.
class ElidedStatus : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect room = contentsRect();
        painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideMiddle, room.width()));
    }
};

}  // namespace

MainStatusBar::MainStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("Status"));
    setSizeGripEnabled(false);
    setFixedHeight(kHeight);
    StatusPanel = new QLabel(this);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    addWidget(StatusPanel, 1);

    // A label of its own: a passing status tip would wipe a status bar
    // message, and its width never widens the window.
    RecoveryStatus = new ElidedStatus(this);
    RecoveryStatus->setObjectName(QStringLiteral("RecoveryStatus"));
    RecoveryStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    RecoveryStatus->hide();
    addWidget(RecoveryStatus, 2);

    SelectionCount = new QLabel(this);
    SelectionCount->setObjectName(QStringLiteral("SelectionCount"));
    SelectionCount->hide();
    addPermanentWidget(SelectionCount);

    ProblemCounts = new QToolButton(this);
    ProblemCounts->setObjectName(QStringLiteral("ProblemCounts"));
    ProblemCounts->setAutoRaise(true);
    ProblemCounts->setToolTip(QStringLiteral("Show the Problems window"));
    addPermanentWidget(ProblemCounts);
    connect(ProblemCounts, &QToolButton::clicked, this, &MainStatusBar::problemCountsClicked);
}

void MainStatusBar::showFile(const QString& path)
{
    StatusPanel->setText(path);
}

void MainStatusBar::followRecovery(app::RecoveryStore& recovery, Prompter& prompter)
{
    connect(&recovery, &app::RecoveryStore::protectionFailed, this,
            [this, &prompter](const QString& reason, bool first) {
                const QString text = QStringLiteral("Unsaved work is not protected: ") + reason;
                RecoveryStatus->setText(text);
                RecoveryStatus->setToolTip(text);
                RecoveryStatus->show();
                if (first)
                    prompter.error(window(), text + QLatin1Char('.'));
            });
    connect(&recovery, &app::RecoveryStore::protectionRestored, this, [this] {
        RecoveryStatus->hide();
        RecoveryStatus->clear();
    });
}

void MainStatusBar::showProblemCounts(const QString& text)
{
    ProblemCounts->setText(text);
}

void MainStatusBar::showSelectionCount(std::size_t count)
{
    if (count == shownCount_)
        return;
    shownCount_ = count;
    // Thousands always separated by commas, whatever the desktop's language.
    SelectionCount->setText(count == 0 ? QString()
                                       : QLocale(QLocale::English).toString(static_cast<qulonglong>(count))
                                             + QStringLiteral(" selected"));
    SelectionCount->setVisible(count != 0);
}

}  // namespace qel::ui
