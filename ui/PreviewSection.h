#pragma once
// "Preview Section": the picture view, its error label, the sound player and
// the (never shown) progress bar.

#include <QGroupBox>

class QLabel;
class QProgressBar;
class QToolButton;

namespace qel::app {
class DocumentSession;
}

namespace qel::ui {

class Prompter;

class PreviewSection : public QGroupBox {
    Q_OBJECT
public:
    PreviewSection(app::DocumentSession& session, Prompter& prompter, QWidget* parent = nullptr);

    // The section's part of ResetDocument: the picture, the progress bar and
    // its label are hidden (a running animation goes on).
    void ResetControls();

    QLabel* Image;
    QLabel* PrevErrorLabel;
    QWidget* Player;
    QToolButton* PlayButton;
    QToolButton* StopButton;
    QLabel* ProgressLabel;
    QProgressBar* Progress;

private:
    app::DocumentSession& session_;
    Prompter& prompter_;
};

}  // namespace qel::ui
