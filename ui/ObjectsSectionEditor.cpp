#include "ui/ObjectsSection.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include "app/DocumentSession.h"
#include "core/Errors.h"
#include "ui/Controls.h"
#include "ui/Guarded.h"
#include "ui/Latin1Text.h"

namespace qel::ui {

namespace {
bool IsEnterKey(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}
}  // namespace

// ---------------------------------------------------------------- editor values

EditorValues ObjectsSection::ReadEditorValues() const
{
    EditorValues values;
    values.xText = EditBytes(eObjectX);
    values.yText = EditBytes(eObjectY);
    values.imageChoice = ChoiceOf(ObjectImageBox);
    values.layerChoice = ChoiceOf(ObjectLayerBox);
    values.modeChoice = ChoiceOf(ObjectModeBox);
    values.displayTimeText = EditBytes(eObjectDsplyTime);
    values.objectIdText = EditBytes(eObjectID);
    return values;
}

void ObjectsSection::chooseImage(int position)
{
    EditorValues values = ReadEditorValues();
    values.imageChoice = position;
    ShowField(Image, values);
}

void ObjectsSection::ShowEditorValues(const EditorValues& values)
{
    for (int field = 0; field < kFields; ++field)
        ShowField(static_cast<Field>(field), values);
}

void ObjectsSection::ShowField(Field field, const EditorValues& values)
{
    switch (field) {
    case X:
        return ShowText(eObjectX, values.xText);
    case Y:
        return ShowText(eObjectY, values.yText);
    case Image:
        if (const int choice = values.imageChoice;
            choice >= ObjectImageBox->count() && choice >= 0
            && static_cast<std::size_t>(choice) < session_.document().images().size()) {
            // The box takes the images' items after the step's notices, or at
            // the next refresh: it shows the item's text, which it then matches.
            ObjectImageBox->setCurrentIndex(-1);
            return ObjectImageBox->setEditText(
                FromBytes(session_.document().imageKey(static_cast<std::size_t>(choice))));
        }
        return ShowChoice(ObjectImageBox, values.imageChoice, kImagePlaceholder);
    case Layer:
        return ShowChoice(ObjectLayerBox, values.layerChoice, kLayerPlaceholder);
    case Mode:
        return ShowChoice(ObjectModeBox, values.modeChoice, kModePlaceholder);
    case DisplayTime:
        return ShowText(eObjectDsplyTime, values.displayTimeText);
    case ObjectId:
    case kFields:
        return ShowText(eObjectID, values.objectIdText);
    }
}

QString ObjectsSection::FieldText(Field field) const
{
    switch (field) {
    case X:
        return eObjectX->text();
    case Y:
        return eObjectY->text();
    case Image:
        return ObjectImageBox->currentText();
    case Layer:
        return ObjectLayerBox->currentText();
    case Mode:
        return ObjectModeBox->currentText();
    case DisplayTime:
        return eObjectDsplyTime->text();
    case ObjectId:
    case kFields:
        break;
    }
    return eObjectID->text();
}

bool ObjectsSection::SameField(Field field, const EditorValues& a, const EditorValues& b)
{
    switch (field) {
    case X:
        return a.xText == b.xText;
    case Y:
        return a.yText == b.yText;
    case Image:
        return a.imageChoice == b.imageChoice;
    case Layer:
        return a.layerChoice == b.layerChoice;
    case Mode:
        return a.modeChoice == b.modeChoice;
    case DisplayTime:
        return a.displayTimeText == b.displayTimeText;
    case ObjectId:
    case kFields:
        break;
    }
    return a.objectIdText == b.objectIdText;
}

void ObjectsSection::ExpandShorthand(QLineEdit* edit, char marker)
{
    const std::string text = EditBytes(edit);
    const std::string expanded = ExpandTileShorthand(text, marker);
    if (expanded != text)
        edit->setText(FromBytes(expanded));
}

void ObjectsSection::ShorthandOnEdit(QLineEdit* edit)
{
    Guarded(prompter_, window(), [&] { ExpandShorthand(edit, kEditMarker); });
}

bool ObjectsSection::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != eObjectX && watched != eObjectY)
        return QGroupBox::eventFilter(watched, event);
    const bool isX = watched == eObjectX;
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        isX ? eObjectXKeyPress(key) : eObjectYKeyPress(key);
    } else if (event->type() == QEvent::FocusOut) {
        // Only a move to another control of this window counts: not another
        // window coming up (an error box among them), nor a menu.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && reason != Qt::MenuBarFocusReason)
            isX ? eObjectXExit() : eObjectYExit();
    }
    // The key, Enter included, and the focus change go on as usual.
    return false;
}

void ObjectsSection::eObjectXKeyPress(QKeyEvent* event)
{
    if (IsEnterKey(event))
        ShorthandOnEdit(eObjectX);
}

void ObjectsSection::eObjectYKeyPress(QKeyEvent* event)
{
    if (IsEnterKey(event))
        ShorthandOnEdit(eObjectY);
}

void ObjectsSection::eObjectXExit()
{
    ShorthandOnEdit(eObjectX);
}

void ObjectsSection::eObjectYExit()
{
    ShorthandOnEdit(eObjectY);
}

}  // namespace qel::ui
