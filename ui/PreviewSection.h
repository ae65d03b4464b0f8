#pragma once
// "Preview Section": the picture view, its error label, the sound player and
// the (never shown) progress bar, with the preview's handlers: a file of the
// list, an image's tile animation, and the closing of the window.

#include <QCache>
#include <QGroupBox>
#include <QImage>
#include <QPixmap>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "core/Animation.h"
#include "platform/FileStamp.h"
#include "platform/PicClip.h"

class QLabel;
class QProgressBar;
class QTimer;
class QToolButton;

namespace qel::app {
class DocumentSession;
class SoundPreviewFile;
}  // namespace qel::app

namespace qel::platform {
class FileOperations;
class PictureService;
class SoundService;
}  // namespace qel::platform

namespace qel::ui {

class Prompter;

class PreviewSection : public QGroupBox {
    Q_OBJECT
public:
    // `programFolder`: where the sound copy goes when it can (else to the
    // per-user cache folder); `animTimer`: the window's animation timer,
    // whose ticks show the next cell.
    PreviewSection(app::DocumentSession& session, Prompter& prompter, platform::PictureService& pictures,
                   platform::SoundService& sound, platform::FileOperations& files, const QString& programFolder,
                   QTimer& animTimer, QWidget* parent = nullptr);
    ~PreviewSection() override;

    // The section's part of ResetDocument: the picture, the progress bar and
    // its label are hidden (a running animation goes on).
    void ResetControls();

    bool AnimationRunning() const { return animationRunning_; }
    // The cell the next tick shows.
    int FrameColumn() const { return frames_.current().column; }

    // Shows `picture` in Image: centred, shrunk in proportion when it is
    // larger than the view.
    void ShowPicture(const QImage& picture);
    // The picture at `path`, scaled down while decoding when it is too large
    // to keep whole.
    QImage ViewedPicture(const QString& path);
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
    void PlayClick();
    void StopClick();
    // The window closes: the player stops and the sound copy goes.
    void FormClose();
    // Pictures changed on disk: the file list's picture or the animation
    // shown is read again when its file changed. Quietly: nobody asked for
    // it just now, and the problems tell why a picture fails.
    void PicturesChanged();

private:
    void ShowError(const QString& message);
    // A file list entry whose bitmap is not there: no picture, the message.
    void ShowMissingBitmap();
    void HideError();
    void ClosePlayer();
    void ShowNextCell();
    // `picture` fitted into the view.
    QPixmap ViewPixmap(const QImage& picture) const;
    void SoundFailed(const QString& message);
    // The document's folder followed by `name`, as file name bytes.
    std::string InDocumentFolder(const std::string& name) const;
    template <class Handler>
    void Handle(Handler&& handler);

    app::DocumentSession& session_;
    Prompter& prompter_;
    platform::PictureService& pictures_;
    platform::SoundService& sound_;
    platform::FileOperations& files_;
    QTimer& animTimer_;
    std::unique_ptr<app::SoundPreviewFile> soundFile_;

    // The file shown (file name bytes; empty: none) as it was read, and the
    // file list entry it comes from (none: the animation's picture).
    void Shown(std::string file, std::optional<std::size_t> entry);
    std::string shownFile_;
    platform::FileStamp shownStamp_;
    std::optional<std::size_t> shownEntry_;

    bool animationRunning_ = false;
    AnimationFrames frames_;
    platform::PicClip picClip_;
    // The running animation's cells as shown, by row * columns + column: a
    // tick only sets a pixmap. Bounded in bytes, so a fine grid keeps what
    // fits and cuts the rest again when it comes round.
    QCache<qint64, QPixmap> cells_{kCellCacheBytes};
    static constexpr qsizetype kCellCacheBytes = 32 * 1024 * 1024;

    QLabel* Image;
    QLabel* PrevErrorLabel;
    QWidget* Player;
    QToolButton* PlayButton;
    QToolButton* StopButton;
    QLabel* ProgressLabel;
    QProgressBar* Progress;
};

}  // namespace qel::ui
