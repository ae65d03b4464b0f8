#pragma once
// "Preview Section": the picture view, its error label, the sound player and
// the (never shown) progress bar, with the preview's handlers: a file of the
// list, an image's tile animation, and the closing of the window.

#include <QGroupBox>
#include <QImage>
#include <cstddef>
#include <optional>
#include <string>

class QLabel;
class QProgressBar;
class QTimer;
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
    ~PreviewSection() override;

    // The section's part of ResetDocument: the picture, the progress bar and
    // its label are hidden (a running animation goes on).
    void ResetControls();

    // The folder of the program, where the sound copy goes when it can, and
    // the window's animation timer.
    void UseProgramFolder(const QString& folder) { programFolder_ = folder; }
    void UseAnimTimer(QTimer* timer) { animTimer_ = timer; }

    bool AnimationRunning() const { return animationRunning_; }
    int FrameColumn() const { return frameColumn_; }
    int FrameRow() const { return frameRow_; }

    // Shows `picture` in Image: centred, shrunk in proportion when it is
    // larger than the view.
    void ShowPicture(const QImage& picture);
    // Hides the picture; the animation, if any, goes on behind it.
    void HidePicture();
    // Hides the picture only while an animation runs.
    void HideAnimationPicture();

    // Handlers.
    // Previews entry `focused` of the file list (none: only the preview ends).
    void FileListClick(std::optional<std::size_t> focused);
    // Starts the animation of the image whose edits hold these texts.
    void AniPreviewClick(const QString& file, const QString& xTiles, const QString& yTiles, const QString& aniTime);
    void AnimTimerTimer();
    // The window closes: the player stops and the sound copy goes.
    void FormClose();

    QLabel* Image;
    QLabel* PrevErrorLabel;
    QWidget* Player;
    QToolButton* PlayButton;
    QToolButton* StopButton;
    QLabel* ProgressLabel;
    QProgressBar* Progress;

private:
    void ShowError(const QString& message);
    void ShowCell();
    template <class Handler>
    void Handle(Handler&& handler);

    app::DocumentSession& session_;
    Prompter& prompter_;
    QString programFolder_;
    QTimer* animTimer_ = nullptr;

    bool animationRunning_ = false;
    int frameColumn_ = 0;
    int frameRow_ = 0;
    // PicClip: the animated picture and its grid.
    QImage clipPicture_;
    int clipColumns_ = 1;
    int clipRows_ = 1;
};

}  // namespace qel::ui
