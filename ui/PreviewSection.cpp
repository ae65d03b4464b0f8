#include "ui/PreviewSection.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "app/DocumentSession.h"
#include "app/SoundPreviewFile.h"
#include "core/Errors.h"
#include "core/PreviewRules.h"
#include "platform/FileNameText.h"
#include "platform/FileOperations.h"
#include "platform/PictureService.h"
#include "platform/SoundService.h"
#include "ui/Controls.h"
#include "ui/Guarded.h"
#include "ui/Latin1Text.h"
#include "ui/Prompter.h"

namespace qel::ui {

PreviewSection::PreviewSection(app::DocumentSession& session, Prompter& prompter, platform::PictureService& pictures,
                               platform::SoundService& sound, platform::FileOperations& files,
                               const QString& programFolder, QTimer& animTimer, QWidget* parent)
    : QGroupBox(parent),
      session_(session),
      prompter_(prompter),
      pictures_(pictures),
      sound_(sound),
      files_(files),
      animTimer_(animTimer),
      soundFile_(std::make_unique<app::SoundPreviewFile>(programFolder, app::SoundPreviewFile::DefaultCacheFolder()))
{
    MakeSection(this, QStringLiteral("PreviewSection"), QStringLiteral("Preview Section"), QRect(144, 272, 169, 177));

    Image = MakeLabel(this, QStringLiteral("Image"), QString(), ControlFont(), QRect(8, 20, 153, 153));
    Image->setAlignment(Qt::AlignCenter);

    // Over the lower part of the view; lines break only where the text has a
    // line break.
    PrevErrorLabel =
        MakeLabel(this, QStringLiteral("PrevErrorLabel"), QString(), SmallBoldFont(), QRect(8, 116, 153, 57));
    PrevErrorLabel->setAlignment(Qt::AlignCenter);
    PrevErrorLabel->setWordWrap(false);
    PrevErrorLabel->setStyleSheet(QStringLiteral("color: red;"));
    PrevErrorLabel->hide();

    Player = new QWidget(this);
    Player->setObjectName(QStringLiteral("Player"));
    Player->setGeometry(34, 80, 101, 27);
    auto* playerLayout = new QHBoxLayout(Player);
    playerLayout->setContentsMargins(0, 0, 0, 0);
    playerLayout->setSpacing(1);
    PlayButton = new QToolButton(Player);
    PlayButton->setObjectName(QStringLiteral("PlayButton"));
    PlayButton->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    PlayButton->setToolTip(QStringLiteral("Play"));
    StopButton = new QToolButton(Player);
    StopButton->setObjectName(QStringLiteral("StopButton"));
    StopButton->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    StopButton->setToolTip(QStringLiteral("Stop"));
    playerLayout->addWidget(PlayButton);
    playerLayout->addWidget(StopButton);
    Player->hide();

    ProgressLabel = MakeLabel(this, QStringLiteral("ProgressLabel"), QString(), ControlFont(), QRect(8, 140, 153, 14));
    ProgressLabel->hide();
    Progress = new QProgressBar(this);
    Progress->setObjectName(QStringLiteral("Progress"));
    Progress->setFont(ControlFont());
    Progress->setGeometry(8, 156, 153, 16);
    Progress->hide();

    connect(&sound_, &platform::SoundService::failed, this, &PreviewSection::SoundFailed);
    connect(&animTimer_, &QTimer::timeout, this, &PreviewSection::AnimTimerTimer);
    connect(PlayButton, &QToolButton::clicked, this, &PreviewSection::PlayClick);
    connect(StopButton, &QToolButton::clicked, this, &PreviewSection::StopClick);
}

PreviewSection::~PreviewSection() = default;

void PreviewSection::ResetControls()
{
    Shown({}, std::nullopt);
    Image->hide();
    Progress->hide();
    ProgressLabel->hide();
}

template <class Handler>
void PreviewSection::Handle(Handler&& handler)
{
    Guarded(prompter_, window(), std::forward<Handler>(handler));
}

std::string PreviewSection::InDocumentFolder(const std::string& name) const
{
    return session_.document().documentFolder() + name;
}

QPixmap PreviewSection::ViewPixmap(const QImage& picture) const
{
    const PictureSize fit = FitPicture({picture.width(), picture.height()}, {Image->width(), Image->height()});
    if (fit.width == picture.width() && fit.height == picture.height())
        return QPixmap::fromImage(picture);
    return QPixmap::fromImage(picture.scaled(fit.width, fit.height, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

QImage PreviewSection::ViewedPicture(const QString& path)
{
    return pictures_.loadWithin(path, platform::kViewedPictureBytes, platform::kViewedPictureBytes / 4).image;
}

void PreviewSection::ShowPicture(const QImage& picture)
{
    Image->setPixmap(ViewPixmap(picture));
}

void PreviewSection::HidePicture()
{
    Shown({}, std::nullopt);
    Image->hide();
}

void PreviewSection::HideAnimationPicture()
{
    if (animationRunning_)
        Image->hide();
}

void PreviewSection::ShowMissingBitmap()
{
    Image->hide();
    ShowError(QString::fromLatin1(kMissingBitmapMessage));
}

void PreviewSection::ShowError(const QString& message)
{
    PrevErrorLabel->setText(message);
    PrevErrorLabel->show();
}

void PreviewSection::HideError()
{
    PrevErrorLabel->clear();
    PrevErrorLabel->hide();
}

void PreviewSection::ClosePlayer()
{
    sound_.close();
}

void PreviewSection::FileListClick(std::optional<std::size_t> focused)
{
    Handle([&] {
        animationRunning_ = false;
        Shown({}, std::nullopt);
        HideError();
        Player->hide();
        ClosePlayer();
        if (!focused || *focused >= session_.document().files().size())
            return;
        const std::string& name = session_.document().files()[*focused];
        const std::string bytes = InDocumentFolder(name);
        const QString path = FileNameText(bytes);
        Progress->hide();
        ProgressLabel->hide();
        const FilePreview preview = ChooseFilePreview(name, files_.exists(bytes));
        if (preview != FilePreview::Sound)
            Shown(bytes, focused);
        switch (preview) {
        case FilePreview::Picture:
            Image->show();
            // A picture that fails to load leaves the one shown before.
            ShowPicture(ViewedPicture(path));
            return;
        case FilePreview::MissingBitmap:
            ShowMissingBitmap();
            return;
        case FilePreview::Sound:
            Image->hide();
            if (!sound_.hasOutputDevice()) {
                ShowError(QString::fromLatin1(kNoSoundDeviceMessage));
                return;
            }
            // Played asynchronously through the copy: the window never waits.
            sound_.open(soundFile_->copy(path));
            Player->show();
            return;
        case FilePreview::Nothing:
            Image->hide();
            return;
        }
    });
}

void PreviewSection::AniPreviewClick(const QString& file, const QString& xTiles, const QString& yTiles,
                                     const QString& aniTime)
{
    Handle([&] {
        Image->show();
        HideError();
        Progress->hide();
        ClosePlayer();
        Player->hide();
        const std::string bytes = InDocumentFolder(CheckedBytes(file));
        if (file.isEmpty() || !files_.exists(bytes)) {
            Image->hide();
            ShowError(QString::fromLatin1(kAnimationFileNotFoundMessage));
            return;
        }
        // Loaded aside: a picture that fails, or numbers that start nothing,
        // leave a running animation as it was.
        platform::PicClip clip;
        clip.setPicture(ViewedPicture(FileNameText(bytes)));
        const AnimationInput input =
            CheckAnimationInput(CheckedBytes(xTiles), CheckedBytes(yTiles), CheckedBytes(aniTime));
        if (!input.ok()) {
            Image->hide();
            ShowError(FromBytes(input.message));
            return;
        }
        clip.setGrid(input.xTiles, input.yTiles);
        const int interval = AnimationInterval(input.xTiles, input.yTiles, input.aniTime);
        // The same interval does not restart the timer; 0 stops it.
        if (animTimer_.interval() != interval)
            animTimer_.setInterval(interval);
        if (interval == 0)
            animTimer_.stop();
        else if (!animTimer_.isActive())
            animTimer_.start();
        picClip_ = std::move(clip);
        Shown(bytes, std::nullopt);
        cells_.clear();
        frames_.start(input.xTiles, input.yTiles);
        animationRunning_ = true;
        ShowNextCell();
    });
}

void PreviewSection::ShowNextCell()
{
    const AnimationFrames::Cell cell = frames_.next();
    const qint64 key = qint64{cell.row} * picClip_.columns() + cell.column;
    if (const QPixmap* kept = cells_.object(key)) {
        Image->setPixmap(*kept);
        return;
    }
    auto pixmap = std::make_unique<QPixmap>(ViewPixmap(picClip_.cell(cell.column, cell.row)));
    const qsizetype bytes = std::max<qsizetype>(1, qsizetype{pixmap->width()} * pixmap->height() * 4);
    Image->setPixmap(*pixmap);
    // One cell larger than the whole bound is shown without being kept.
    if (bytes <= cells_.maxCost())
        cells_.insert(key, pixmap.release(), bytes);
}

void PreviewSection::AnimTimerTimer()
{
    if (animationRunning_)
        ShowNextCell();
}

void PreviewSection::PlayClick()
{
    try {
        sound_.play();
    } catch (const MessageError& error) {
        // No device to play on: said where the player is, not pretended.
        ShowError(FromBytes(error.what()));
    }
}

void PreviewSection::StopClick()
{
    sound_.stop();
}

void PreviewSection::SoundFailed(const QString& message)
{
    prompter_.error(window(), FromBytes(WithFullStop(ToBytes(message))));
}

void PreviewSection::Shown(std::string file, std::optional<std::size_t> entry)
{
    shownStamp_ = file.empty() ? platform::FileStamp{} : platform::ReadFileStamp(file);
    shownFile_ = std::move(file);
    shownEntry_ = entry;
}

void PreviewSection::PicturesChanged()
{
    if (shownFile_.empty())
        return;
    const platform::FileStamp stamp = platform::ReadFileStamp(shownFile_);
    if (stamp == shownStamp_)
        return;
    shownStamp_ = stamp;
    try {
        if (!shownEntry_) {
            if (animationRunning_) {
                picClip_.setPicture(ViewedPicture(FileNameText(shownFile_)));
                cells_.clear();
            }
            return;
        }
        const std::vector<std::string>& names = session_.document().files();
        // The list changed since: its entry is no longer what is shown.
        if (*shownEntry_ >= names.size() || InDocumentFolder(names[*shownEntry_]) != shownFile_)
            return;
        switch (ChooseFilePreview(names[*shownEntry_], files_.exists(shownFile_))) {
        case FilePreview::Picture: {
            const QImage picture = ViewedPicture(FileNameText(shownFile_));
            HideError();
            Image->show();
            ShowPicture(picture);
            return;
        }
        case FilePreview::MissingBitmap:
            ShowMissingBitmap();
            return;
        case FilePreview::Sound:
        case FilePreview::Nothing:
            Image->hide();
            return;
        }
    } catch (const std::exception&) {
        // The picture shown before stays.
    }
}

void PreviewSection::FormClose()
{
    ClosePlayer();
    // The player lets go of the file at once: no pause is needed before
    // the copy is deleted, and a failure to delete it is ignored.
    soundFile_->remove();
}

}  // namespace qel::ui
