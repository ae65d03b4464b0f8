#pragma once
// The main window's status bar ("Status"): the current file's full path in
// "StatusPanel"; while unsaved work cannot be protected, why, in
// "RecoveryStatus"; and at its right end the document's problem counts,
// "ProblemCounts", which open the Problems window, with the count of the
// selected objects of the list in view beside them ("SelectionCount"). Passing messages show
// over the file's panel.

#include <QStatusBar>
#include <cstddef>

class QLabel;
class QToolButton;

namespace qel::app {
class RecoveryStore;
}

namespace qel::ui {

class Prompter;

class MainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kHeight = 19;

    explicit MainStatusBar(QWidget* parent = nullptr);

    void showFile(const QString& path);
    // Work at risk is said here for as long as it is, and once in an error
    // box (through `prompter`) for each document.
    void followRecovery(app::RecoveryStore& recovery, Prompter& prompter);
    void showProblemCounts(const QString& text);
    // "6,436 selected"; nothing shown for none.
    void showSelectionCount(std::size_t count);

signals:
    void problemCountsClicked();

private:
    QLabel* StatusPanel;
    QLabel* RecoveryStatus;
    QToolButton* ProblemCounts;
    QLabel* SelectionCount;
    std::size_t shownCount_ = 0;
};

}  // namespace qel::ui
