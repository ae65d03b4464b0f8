#include "SectionLinks.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

#include "FileSection.h"
#include "ImageSection.h"
#include "Latin1Text.h"
#include "ObjectsSection.h"
#include "PreviewSection.h"
#include "TMainFrm.h"

namespace qel::ui {

void CopyImageItems(const QComboBox& imageBox, QComboBox& objectImageBox)
{
    QStringList items;
    items.reserve(imageBox.count());
    for (int i = 0; i < imageBox.count(); ++i)
        items << imageBox.itemText(i);
    const QString text = objectImageBox.currentText();
    objectImageBox.clear();
    objectImageBox.addItems(items);
    objectImageBox.setCurrentIndex(-1);
    objectImageBox.setEditText(text);
}

void FollowImageBox(const QComboBox& imageBox, QComboBox& objectImageBox)
{
    if (imageBox.count() != objectImageBox.count())
        CopyImageItems(imageBox, objectImageBox);
}

void LinkSections(TMainFrm& frm)
{
    FileSection* files = frm.fileSection;
    ImageSection* images = frm.imageSection;
    PreviewSection* preview = frm.previewSection;
    QComboBox* objectImageBox = frm.objectsSection->ObjectImageBox;

    files->UseSettings(frm.settings());
    files->UseImageSelection([images] { return images->SelectedImage(); });
    ObjectsSection* objects = frm.objectsSection;
    images->UseObjectsView([objects] { return objects->CurrentViewState(); });
    preview->UseProgramFolder(frm.programFolder());
    preview->UseAnimTimer(frm.AnimTimer);

    QObject::connect(files, &FileSection::FileListClicked, preview,
                     [files, preview] { preview->FileListClick(files->FocusedEntry()); });
    QObject::connect(files, &FileSection::pictureHideRequested, preview, &PreviewSection::HidePicture);
    QObject::connect(images, &ImageSection::animationPictureHideRequested, preview,
                     &PreviewSection::HideAnimationPicture);
    QObject::connect(images, &ImageSection::imageItemsReplaced, objectImageBox,
                     [images, objectImageBox] { CopyImageItems(*images->ImageBox, *objectImageBox); });
    QObject::connect(images->AniPreview, &QToolButton::clicked, preview, [images, preview] {
        preview->AniPreviewClick(images->eImageFile->text(), images->eImageX->text(), images->eImageY->text(),
                                 images->eImageTime->text());
    });
    QObject::connect(frm.AnimTimer, &QTimer::timeout, preview, &PreviewSection::AnimTimerTimer);
}

}  // namespace qel::ui
