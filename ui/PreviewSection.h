#pragma once
// "Preview Section": the picture view, its error label, the sound player and
// the (never shown) progress bar.

#include <QGroupBox>

class QLabel;
class QProgressBar;
class QToolButton;

namespace qel::ui {

class PreviewSection : public QGroupBox {
    Q_OBJECT
public:
    explicit PreviewSection(QWidget* parent = nullptr);

    QLabel* Image;
    QLabel* PrevErrorLabel;
    QWidget* Player;
    QToolButton* PlayButton;
    QToolButton* StopButton;
    QLabel* ProgressLabel;
    QProgressBar* Progress;
};

}  // namespace qel::ui
