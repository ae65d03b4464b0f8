#include "PreviewSection.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QStyle>
#include <QToolButton>

#include <QPixmap>
#include <QTimer>

#include "Controls.h"
#include "DocumentSession.h"
#include "Guarded.h"
#include "Prompter.h"

namespace qel::ui {

PreviewSection::PreviewSection(app::DocumentSession& session, Prompter& prompter, QWidget* parent)
    : QGroupBox(parent), session_(session), prompter_(prompter)
{
    MakeSection(this, QStringLiteral("PreviewSection"), QStringLiteral("Preview Section"), QRect(144, 272, 169, 177));

    Image = MakeLabel(this, QStringLiteral("Image"), QString(), ControlFont(), QRect(8, 20, 153, 153));
    Image->setAlignment(Qt::AlignCenter);

    // Over the lower part of the view; lines break only where the text has a
    // line break.
    PrevErrorLabel = MakeLabel(this, QStringLiteral("PrevErrorLabel"), QString(), SmallBoldFont(),
                               QRect(8, 116, 153, 57));
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
}

PreviewSection::~PreviewSection() = default;

void PreviewSection::ResetControls()
{
    Image->hide();
    Progress->hide();
    ProgressLabel->hide();
}

template <class Handler>
void PreviewSection::Handle(Handler&& handler)
{
    Guarded(prompter_, window(), std::forward<Handler>(handler));
}

void PreviewSection::ShowPicture(const QImage& picture)
{
    const QSize view = Image->size();
    QImage shown = picture;
    if (picture.width() > view.width() || picture.height() > view.height())
        shown = picture.scaled(view, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    Image->setPixmap(QPixmap::fromImage(shown));
}

void PreviewSection::HidePicture()
{
    Image->hide();
}

void PreviewSection::HideAnimationPicture()
{
    if (animationRunning_)
        Image->hide();
}

void PreviewSection::ShowError(const QString& message)
{
    PrevErrorLabel->setText(message);
    PrevErrorLabel->show();
}

void PreviewSection::FileListClick(std::optional<std::size_t> focused)
{
    (void)focused;
}

void PreviewSection::AniPreviewClick(const QString& file, const QString& xTiles, const QString& yTiles,
                                     const QString& aniTime)
{
    (void)file;
    (void)xTiles;
    (void)yTiles;
    (void)aniTime;
}

void PreviewSection::ShowCell()
{
}

void PreviewSection::AnimTimerTimer()
{
    if (!animationRunning_)
        return;
    ShowCell();
}

void PreviewSection::FormClose()
{
}

}  // namespace qel::ui
