#include "ImageSection.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "Controls.h"
#include "DocumentSession.h"
#include "Latin1Text.h"
#include "UpDownButton.h"

namespace qel::ui {

namespace {
UpDownButton* MakeUpDown(QWidget* parent, const QString& objectName, QLineEdit* buddy, int step)
{
    auto* upDown = new UpDownButton(buddy, 0, 32000, step, parent);
    upDown->setObjectName(objectName);
    const QRect edit = buddy->geometry();
    upDown->setGeometry(edit.right() + 1, edit.top(), 16, edit.height());
    return upDown;
}
}  // namespace

ImageSection::ImageSection(app::DocumentSession& session, Prompter& prompter, QWidget* parent)
    : QGroupBox(parent), session_(session), prompter_(prompter)
{
    MakeSection(this, QStringLiteral("ImageSection"), QStringLiteral("Image Section"), QRect(152, 32, 153, 241));

    ImageLabel = MakeLabel(this, QStringLiteral("ImageLabel"), QStringLiteral("Images:"), CaptionFont(),
                           QRect(8, 22, 137, 18));
    ImageBox = MakeEditableCombo(this, QStringLiteral("ImageBox"), {}, QStringLiteral("IMAGE#"), QRect(8, 41, 137, 22));
    AddImage = MakeSpeedButton(this, QStringLiteral("AddImage"), QString(),
                               PictureIcon(QStringLiteral(":/buttons/add.png"), QStringLiteral(":/buttons/add-disabled.png")),
                               QRect(8, 66, 23, 23));
    DelImage = MakeSpeedButton(this, QStringLiteral("DelImage"), QString(),
                               PictureIcon(QStringLiteral(":/buttons/del.png"), QStringLiteral(":/buttons/del-disabled.png")),
                               QRect(32, 66, 23, 23));

    const LabelledEdit file = MakeLabelledEdit(this, QStringLiteral("eImageFile"), QStringLiteral("Image File:"),
                                               QString(), CaptionFont(), QRect(8, 112, 137, 21));
    eImageFileLabel = file.label;
    eImageFile = file.edit;

    const LabelledEdit x = MakeLabelledEdit(this, QStringLiteral("eImageX"), QStringLiteral("X-Tiles:"),
                                            QStringLiteral("0"), CaptionFont(), QRect(8, 157, 50, 21), 68);
    eImageXLabel = x.label;
    eImageX = x.edit;
    ImageXUpDown = MakeUpDown(this, QStringLiteral("ImageXUpDown"), eImageX, 1);

    const LabelledEdit y = MakeLabelledEdit(this, QStringLiteral("eImageY"), QStringLiteral("Y-Tiles:"),
                                            QStringLiteral("0"), CaptionFont(), QRect(79, 157, 50, 21), 68);
    eImageYLabel = y.label;
    eImageY = y.edit;
    ImageYUpDown = MakeUpDown(this, QStringLiteral("ImageYUpDown"), eImageY, 1);

    const LabelledEdit time = MakeLabelledEdit(this, QStringLiteral("eImageTime"), QStringLiteral("AniTime:"),
                                               QStringLiteral("0"), CaptionFont(), QRect(8, 202, 50, 21), 72);
    eImageTimeLabel = time.label;
    eImageTime = time.edit;
    ImageTimeUpDown = MakeUpDown(this, QStringLiteral("ImageTimeUpDown"), eImageTime, 10);

    AniPreview = MakeSpeedButton(this, QStringLiteral("AniPreview"), QString(),
                                 PictureIcon(QStringLiteral(":/buttons/film.png"), QStringLiteral(":/buttons/film-disabled.png")),
                                 QRect(86, 196, 57, 33));
    AniPreview->setIconSize(QSize(32, 24));

    connect(&session_, &app::DocumentSession::imagesChanged, this, &ImageSection::ShowImageKeys);
}

void ImageSection::ResetControls()
{
    eImageFile->clear();
    eImageX->setText(QStringLiteral("0"));
    eImageY->setText(QStringLiteral("0"));
    eImageTime->setText(QStringLiteral("0"));
    ShowPlaceholder(ImageBox, QStringLiteral("IMAGE#"));
}

void ImageSection::Refresh() {}

void ImageSection::ShowImageKeys()
{
    const DefinitionDocument& doc = session_.document();
    QStringList keys;
    keys.reserve(doc.imageCount());
    for (std::size_t i = 0; i < doc.images().size(); ++i)
        keys << FromBytes(doc.imageKey(i));
    QStringList shown;
    for (int i = 0; i < ImageBox->count(); ++i)
        shown << ImageBox->itemText(i);
    if (keys == shown)
        return;
    const int chosen = ImageBox->currentIndex();
    ImageBox->clear();
    ImageBox->addItems(keys);
    if (chosen >= 0 && chosen < ImageBox->count())
        ImageBox->setCurrentIndex(chosen);
    else
        ShowPlaceholder(ImageBox, QStringLiteral("IMAGE#"));
}

}  // namespace qel::ui
