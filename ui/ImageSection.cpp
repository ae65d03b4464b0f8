#include "ui/ImageSection.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>
#include <algorithm>
#include <exception>
#include <utility>

#include "app/DocumentSession.h"
#include "app/ImageSteps.h"
#include "core/Animation.h"
#include "ui/Controls.h"
#include "ui/Guarded.h"
#include "ui/HistoryKeyFilter.h"
#include "ui/Latin1Text.h"
#include "ui/Prompter.h"
#include "ui/UpDownButton.h"

namespace qel::ui {

namespace {
const QString kNoImage = QStringLiteral("IMAGE#");

void SetTextIfOther(QLineEdit* edit, const QString& text)
{
    if (edit->text() != text)
        edit->setText(text);
}
}  // namespace

ImageSection::ImageSection(app::DocumentSession& session, Prompter& prompter,
                           std::function<app::ViewState()> objectsView, QWidget* parent)
    : QGroupBox(parent), session_(session), prompter_(prompter), objectsView_(std::move(objectsView))
{
    MakeSection(this, QStringLiteral("ImageSection"), QStringLiteral("Image Section"), QRect(152, 32, 153, 241));

    ImageLabel =
        MakeLabel(this, QStringLiteral("ImageLabel"), QStringLiteral("Images:"), CaptionFont(), QRect(8, 22, 137, 18));
    ImageBox = MakeEditableCombo(this, QStringLiteral("ImageBox"), {}, QStringLiteral("IMAGE#"), QRect(8, 41, 137, 22));
    AddImage =
        MakeSpeedButton(this, QStringLiteral("AddImage"), QString(),
                        PictureIcon(QStringLiteral(":/buttons/add.png"), QStringLiteral(":/buttons/add-disabled.png")),
                        QRect(8, 66, 23, 23));
    AddImage->setToolTip(QStringLiteral("Add image"));
    DelImage =
        MakeSpeedButton(this, QStringLiteral("DelImage"), QString(),
                        PictureIcon(QStringLiteral(":/buttons/del.png"), QStringLiteral(":/buttons/del-disabled.png")),
                        QRect(32, 66, 23, 23));
    DelImage->setToolTip(QStringLiteral("Delete image"));

    const LabelledEdit file = MakeLabelledEdit(this, QStringLiteral("eImageFile"), QStringLiteral("Image File:"),
                                               QString(), CaptionFont(), QRect(8, 112, 137, 21));
    eImageFileLabel = file.label;
    eImageFile = file.edit;

    const LabelledEdit x = MakeLabelledEdit(this, QStringLiteral("eImageX"), QStringLiteral("X-Tiles:"),
                                            QStringLiteral("0"), CaptionFont(), QRect(8, 157, 50, 21), 68);
    eImageXLabel = x.label;
    eImageX = x.edit;
    ImageXUpDown = UpDownButton::Attached(this, QStringLiteral("ImageXUpDown"), eImageX, 32000, 1);

    const LabelledEdit y = MakeLabelledEdit(this, QStringLiteral("eImageY"), QStringLiteral("Y-Tiles:"),
                                            QStringLiteral("0"), CaptionFont(), QRect(79, 157, 50, 21), 68);
    eImageYLabel = y.label;
    eImageY = y.edit;
    ImageYUpDown = UpDownButton::Attached(this, QStringLiteral("ImageYUpDown"), eImageY, 32000, 1);

    const LabelledEdit time = MakeLabelledEdit(this, QStringLiteral("eImageTime"), QStringLiteral("AniTime:"),
                                               QStringLiteral("0"), CaptionFont(), QRect(8, 202, 50, 21), 72);
    eImageTimeLabel = time.label;
    eImageTime = time.edit;
    ImageTimeUpDown = UpDownButton::Attached(this, QStringLiteral("ImageTimeUpDown"), eImageTime, 32000, 10);

    AniPreview = MakeSpeedButton(
        this, QStringLiteral("AniPreview"), QString(),
        PictureIcon(QStringLiteral(":/buttons/film.png"), QStringLiteral(":/buttons/film-disabled.png")),
        QRect(86, 196, 57, 33));
    AniPreview->setIconSize(QSize(32, 24));
    AniPreview->setToolTip(QStringLiteral("Preview animation"));

    // Typing picks items by their whole text only; no completion.
    ImageBox->setCompleter(nullptr);

    connect(&session_, &app::DocumentSession::imagesChanged, this, &ImageSection::DocumentImagesChanged);
    connect(ImageBox, &QComboBox::currentIndexChanged, this, &ImageSection::ImageBoxChange);
    connect(ImageBox->lineEdit(), &QLineEdit::textEdited, this, &ImageSection::ImageBoxEdited);
    connect(AddImage, &QToolButton::clicked, this, &ImageSection::AddImageClick);
    connect(DelImage, &QToolButton::clicked, this, &ImageSection::DelImageClick);
    connect(AniPreview, &QToolButton::clicked, this, [this] {
        emit animationRequested(eImageFile->text(), eImageX->text(), eImageY->text(), eImageTime->text());
    });
    for (QLineEdit* edit : {eImageFile, eImageX, eImageY, eImageTime}) {
        edit->installEventFilter(this);
        // Their typing is a step: undone by the history, never by the edit.
        HistoryKeyFilter::TypingIsStep(edit);
    }
    connect(ImageXUpDown, &UpDownButton::changingEx, this, &ImageSection::ImageXUpDownChangingEx);
    connect(ImageYUpDown, &UpDownButton::changingEx, this, &ImageSection::ImageYUpDownChangingEx);
    connect(ImageTimeUpDown, &UpDownButton::changingEx, this, &ImageSection::ImageTimeUpDownChangingEx);
    // One click handler for the three spin buttons.
    for (UpDownButton* upDown : {ImageXUpDown, ImageYUpDown, ImageTimeUpDown})
        connect(upDown, &UpDownButton::clicked, this, &ImageSection::ImageXUpDownClick);
}

void ImageSection::ResetControls()
{
    eImageFile->clear();
    eImageX->setText(QStringLiteral("0"));
    eImageY->setText(QStringLiteral("0"));
    eImageTime->setText(QStringLiteral("0"));
    const QSignalBlocker blocker(ImageBox);
    ShowPlaceholder(ImageBox, kNoImage);
    shown_.reset();
}

void ImageSection::Refresh()
{
    AniPreview->setEnabled(AnimationPreviewEnabled(CheckedBytes(eImageFile->text()), CheckedBytes(eImageX->text()),
                                                   CheckedBytes(eImageY->text()), CheckedBytes(eImageTime->text())));
}

std::optional<std::size_t> ImageSection::SelectedImage() const
{
    const int index = ImageBox->currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= session_.document().images().size())
        return std::nullopt;
    return static_cast<std::size_t>(index);
}

void ImageSection::selectImage(std::size_t position)
{
    if (position >= static_cast<std::size_t>(ImageBox->count()))
        return;
    Select(static_cast<int>(position));
    ImageBoxChange();
}

QStringList ImageSection::imageItems() const
{
    QStringList items;
    items.reserve(ImageBox->count());
    for (int i = 0; i < ImageBox->count(); ++i)
        items << ImageBox->itemText(i);
    return items;
}

template <class Handler>
void ImageSection::Handle(Handler&& handler)
{
    const bool outer = handling_;
    handling_ = true;
    Guarded(prompter_, window(), std::forward<Handler>(handler));
    handling_ = outer;
}

bool ImageSection::eventFilter(QObject* watched, QEvent* event)
{
    // An undo or redo key has already shown what the history holds; storing
    // the edit's text again could only make a step of a key press.
    if (event->type() == QEvent::KeyRelease && !HistoryKeyFilter::IsHistoryKey(*static_cast<QKeyEvent*>(event))) {
        if (watched == eImageFile)
            eImageFileKeyUp();
        else if (watched == eImageX)
            eImageXKeyUp();
        else if (watched == eImageY)
            eImageYKeyUp();
        else if (watched == eImageTime)
            eImageTimeKeyUp();
    }
    return QGroupBox::eventFilter(watched, event);
}

void ImageSection::ShowSelectedImage()
{
    const std::optional<std::size_t> selected = SelectedImage();
    if (!selected)
        return;
    const ObjectImage& image = session_.document().images()[*selected];
    const ImageEditTexts texts = ShownImageTexts(image);
    eImageFile->setText(FromBytes(texts.file));
    eImageX->setText(FromBytes(texts.xTiles));
    eImageY->setText(FromBytes(texts.yTiles));
    eImageTime->setText(FromBytes(texts.aniTime));
    shown_ = image;
}

void ImageSection::Select(int index)
{
    if (ImageBox->currentIndex() == index)
        return;
    const QSignalBlocker blocker(ImageBox);
    ImageBox->setCurrentIndex(index);
}

void ImageSection::ShowNoImage()
{
    {
        const QSignalBlocker blocker(ImageBox);
        ShowPlaceholder(ImageBox, kNoImage);
    }
    eImageFile->clear();
    eImageX->setText(QStringLiteral("0"));
    eImageY->setText(QStringLiteral("0"));
    eImageTime->setText(QStringLiteral("0"));
    shown_.reset();
}

bool ImageSection::ShowKeys()
{
    const DefinitionDocument& doc = session_.document();
    QStringList keys;
    keys.reserve(static_cast<qsizetype>(doc.images().size()));
    for (std::size_t i = 0; i < doc.images().size(); ++i)
        keys << FromBytes(doc.imageKey(i));
    QStringList shown;
    for (int i = 0; i < ImageBox->count(); ++i)
        shown << ImageBox->itemText(i);
    if (keys == shown)
        return false;
    const int chosen = ImageBox->currentIndex();
    const QString text = ImageBox->currentText();
    const QSignalBlocker blocker(ImageBox);
    ImageBox->clear();
    ImageBox->addItems(keys);
    // A chosen item that is still there stays chosen; otherwise none is.
    if (chosen >= 0 && chosen < ImageBox->count()) {
        ImageBox->setCurrentIndex(chosen);
    } else {
        ImageBox->setCurrentIndex(-1);
        ImageBox->setEditText(text);
    }
    return true;
}

void ImageSection::DocumentImagesChanged()
{
    const int chosenBefore = ImageBox->currentIndex();
    const bool keysReplaced = ShowKeys();
    // Undo and redo can rename the items without changing their count, which
    // the periodic refresh would never notice; ObjectImageBox must not offer
    // stale keys. A new or opened document has no history yet and its views
    // are reset by the window.
    if (keysReplaced && !handling_ && (session_.canUndo() || session_.canRedo()))
        emit imageItemsReplaced(imageItems());
    if (handling_) {
        // The handler shows what its step did; the edits hold the values.
        if (const auto selected = SelectedImage())
            shown_ = session_.document().images()[*selected];
        return;
    }
    // A step made elsewhere (undo, redo, the file list, a new document).
    if (ImageBox->count() == 0) {
        if (chosenBefore >= 0 || shown_)
            ShowNoImage();
        return;
    }
    if (chosenBefore >= 0 && ImageBox->currentIndex() < 0) {
        // The chosen image went away: the last one takes its place.
        Select(ImageBox->count() - 1);
        ShowSelectedImage();
        return;
    }
    const std::optional<std::size_t> selected = SelectedImage();
    if (!selected)
        return;
    const ObjectImage& image = session_.document().images()[*selected];
    if (!shown_) {
        ShowSelectedImage();
        return;
    }
    // Only the edits whose value changed: an edit still holding a refused
    // text keeps it.
    if (image.file != shown_->file)
        SetTextIfOther(eImageFile, FromBytes(image.file));
    if (image.xTiles != shown_->xTiles)
        SetTextIfOther(eImageX, FromBytes(ImageNumberText(image.xTiles)));
    if (image.yTiles != shown_->yTiles)
        SetTextIfOther(eImageY, FromBytes(ImageNumberText(image.yTiles)));
    if (image.aniTime != shown_->aniTime)
        SetTextIfOther(eImageTime, FromBytes(ImageNumberText(image.aniTime)));
    shown_ = image;
}

void ImageSection::ImageBoxEdited(const QString& text)
{
    // Like a plain combo box: the typed text chooses the item of that text,
    // or none, and the change handler runs.
    const int match = ImageBox->findText(text, Qt::MatchFixedString);
    if (match != ImageBox->currentIndex()) {
        QLineEdit* edit = ImageBox->lineEdit();
        const int cursor = edit->cursorPosition();
        {
            const QSignalBlocker blocker(ImageBox);
            ImageBox->setCurrentIndex(match);
            ImageBox->setEditText(text);  // as typed, whatever its case
        }
        edit->setCursorPosition(std::min(cursor, static_cast<int>(edit->text().size())));
    }
    ImageBoxChange();
}

void ImageSection::ImageBoxChange()
{
    ShowSelectedImage();
    emit animationPictureHideRequested();
}

void ImageSection::AddImageClick()
{
    Handle([this] {
        session_.push(std::make_unique<app::AddImageStep>(session_));
        Select(ImageBox->count() - 1);
        ShowSelectedImage();
        emit animationPictureHideRequested();
    });
}

void ImageSection::DelImageClick()
{
    Handle([this] {
        const std::optional<std::size_t> selected = SelectedImage();
        const int position = selected ? static_cast<int>(*selected) : -1;
        emit animationPictureHideRequested();
        std::exception_ptr failure;
        if (selected && prompter_.confirm(window(), FromBytes(DeleteImageQuestion(session_.document(), *selected)))) {
            // Both answers come before the one step that carries them out.
            const bool applyToObjects = prompter_.confirm(window(), QString::fromLatin1(kApplyToObjectsQuestion));
            try {
                auto step = std::make_unique<app::DeleteImageStep>(session_, *selected, applyToObjects);
                if (applyToObjects && objectsView_)
                    step->setViewBefore(objectsView_());
                session_.push(std::move(step));
            } catch (...) {
                // The images are gone either way: finish the views first.
                failure = std::current_exception();
            }
            emit imageItemsReplaced(imageItems());
            for (QLineEdit* edit : {eImageFile, eImageX, eImageY, eImageTime})
                edit->clear();
            shown_.reset();
        }
        if (ImageBox->count() == 0)
            ShowNoImage();
        // The item before the deleted one, whichever way the delete went.
        Select(position >= 1 ? position - 1 : -1);
        ShowSelectedImage();
        if (failure)
            std::rethrow_exception(failure);
    });
}

void ImageSection::eImageFileKeyUp()
{
    const std::optional<std::size_t> selected = SelectedImage();
    if (!selected)
        return;
    const QString text = eImageFile->text();
    const qsizetype refused = FirstUnstorableCharacter(text);
    if (refused >= 0) {
        const QString message = UnstorableCharacterMessage(text, refused);
        eImageFile->setText(FromBytes(session_.document().images()[*selected].file));
        prompter_.error(window(), message);
        return;
    }
    Handle([&] { session_.push(app::ImageFieldStep::fileText(session_, *selected, ToBytes(text))); });
}

void ImageSection::StoreNumber(QLineEdit* edit, ImageNumberField field)
{
    const std::optional<std::size_t> selected = SelectedImage();
    if (!selected)
        return;
    const QString text = edit->text();
    if (FirstUnstorableCharacter(text) >= 0) {
        // No byte text to convert; the conversion's own message.
        prompter_.error(window(), QStringLiteral("'%1' is not a valid integer value.").arg(text));
        return;
    }
    Handle([&] { session_.push(app::ImageFieldStep::numberText(session_, *selected, field, ToBytes(text))); });
}

void ImageSection::eImageXKeyUp()
{
    StoreNumber(eImageX, ImageNumberField::XTiles);
}

void ImageSection::eImageYKeyUp()
{
    StoreNumber(eImageY, ImageNumberField::YTiles);
}

void ImageSection::eImageTimeKeyUp()
{
    StoreNumber(eImageTime, ImageNumberField::AniTime);
}

void ImageSection::StoreSpin(UpDownButton* upDown, ImageNumberField field, int proposedValue)
{
    const std::optional<std::size_t> selected = SelectedImage();
    if (!selected)
        return;
    // The value the edit is about to show, also at a limit.
    const int value = std::clamp(proposedValue, upDown->minimum(), upDown->maximum());
    Handle([&] { session_.push(app::ImageFieldStep::spinValue(session_, *selected, field, value)); });
}

void ImageSection::ImageXUpDownChangingEx(int proposedValue)
{
    StoreSpin(ImageXUpDown, ImageNumberField::XTiles, proposedValue);
}

void ImageSection::ImageYUpDownChangingEx(int proposedValue)
{
    StoreSpin(ImageYUpDown, ImageNumberField::YTiles, proposedValue);
}

void ImageSection::ImageTimeUpDownChangingEx(int proposedValue)
{
    StoreSpin(ImageTimeUpDown, ImageNumberField::AniTime, proposedValue);
}

void ImageSection::ImageXUpDownClick()
{
    emit animationPictureHideRequested();
}

}  // namespace qel::ui
