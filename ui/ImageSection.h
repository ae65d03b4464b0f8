#pragma once
// "Image Section": the image definitions and their tile numbers, with their
// handlers. Every store is a step on the session; the section follows the
// document when a step elsewhere (undo, redo, the file list) changes the
// images. Its controls are its own; others reach it through the methods and
// signals below.

#include <QGroupBox>
#include <QStringList>
#include <cstddef>
#include <functional>
#include <optional>
#include <utility>

#include "app/ViewState.h"
#include "core/DefinitionDocument.h"
#include "core/ImageEditing.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace qel::app {
class DocumentSession;
}

namespace qel::ui {

class Prompter;
class UpDownButton;

class ImageSection : public QGroupBox {
    Q_OBJECT
public:
    // `objectsView`: how the Objects Section shows its lists now; a delete
    // carried into the objects keeps it for its undo.
    ImageSection(app::DocumentSession& session, Prompter& prompter, std::function<app::ViewState()> objectsView,
                 QWidget* parent = nullptr);

    // The section's part of ResetDocument: empty file edit, "0" in the three
    // numbers, no image chosen.
    void ResetControls();
    // The section's part of the periodic refresh: AniPreview is enabled
    // while the file edit holds text and the three numbers are above 0.
    void Refresh();

    // The image whose item ImageBox has chosen.
    std::optional<std::size_t> SelectedImage() const;
    // Chooses the image at `position` and shows its values, as choosing its
    // item in ImageBox does.
    void selectImage(std::size_t position);
    // ImageBox's items, in order.
    QStringList imageItems() const;

    // Handlers.
    void ImageBoxChange();
    void AddImageClick();
    void DelImageClick();
    void eImageFileKeyUp();
    void eImageXKeyUp();
    void eImageYKeyUp();
    void eImageTimeKeyUp();
    void ImageXUpDownChangingEx(int proposedValue);
    void ImageYUpDownChangingEx(int proposedValue);
    void ImageTimeUpDownChangingEx(int proposedValue);
    void ImageXUpDownClick();

signals:
    // A running animation's picture is to be hidden; the animation goes on.
    void animationPictureHideRequested();
    // A delete, undo or redo renamed the items: ObjectImageBox takes them at
    // once.
    void imageItemsReplaced(const QStringList& items);
    // AniPreview was pressed: animate the picture these edits describe.
    void animationRequested(const QString& file, const QString& xTiles, const QString& yTiles, const QString& aniTime);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Copies the selected image's values into the four edits (nothing when
    // none is selected).
    void ShowSelectedImage();
    // Selects item `index` (-1: none) without running ImageBoxChange.
    void Select(int index);
    // The document's images changed: the items follow; after a step made
    // elsewhere, so do the selection and the edits whose values changed.
    void DocumentImagesChanged();
    // True when the items were replaced.
    bool ShowKeys();
    // What the edits show when there is no image at all.
    void ShowNoImage();
    void StoreNumber(QLineEdit* edit, ImageNumberField field);
    void StoreSpin(UpDownButton* upDown, ImageNumberField field, int proposedValue);
    // The user typed into ImageBox: the item of that text, if any, is chosen.
    void ImageBoxEdited(const QString& text);
    template <class Handler>
    void Handle(Handler&& handler);

    app::DocumentSession& session_;
    Prompter& prompter_;
    std::function<app::ViewState()> objectsView_;
    // True while a handler of this section makes its step: the handler
    // itself decides what the controls show.
    bool handling_ = false;
    // The values the edits showed last, to tell which ones a step changed.
    std::optional<ObjectImage> shown_;

    QLabel* ImageLabel;
    QComboBox* ImageBox;
    QToolButton* AddImage;
    QToolButton* DelImage;
    QLabel* eImageFileLabel;
    QLineEdit* eImageFile;
    QLabel* eImageXLabel;
    QLineEdit* eImageX;
    UpDownButton* ImageXUpDown;
    QLabel* eImageYLabel;
    QLineEdit* eImageY;
    UpDownButton* ImageYUpDown;
    QLabel* eImageTimeLabel;
    QLineEdit* eImageTime;
    UpDownButton* ImageTimeUpDown;
    QToolButton* AniPreview;
};

}  // namespace qel::ui
