#include "ui/ObjectsSection.h"

#include <QMenu>
#include <QToolButton>

#include "app/ObjectCommands.h"
#include "ui/Controls.h"
#include "ui/Guarded.h"

namespace qel::ui {

// ---------------------------------------------------------------- presets

QPoint ObjectsSection::PresetPopUpPoint() const
{
    // The window's outer top-left corner plus the section's and the
    // button's places, 20 pixels in.
    const QPoint corner = window()->frameGeometry().topLeft();
    return corner + QPoint(x() + Presets->x() + 20, y() + Presets->y());
}

void ObjectsSection::PresetsClick()
{
    PresetPopUp->popup(PresetPopUpPoint());
}

void ObjectsSection::ShowPreset(const std::optional<EditorPreset>& preset)
{
    if (!preset)
        return;
    ShowEditorValues(preset->values);
    ShowKind(preset->kind);
    loaded_.reset();
}

void ObjectsSection::CenterSafeClick()
{
    Guarded(prompter_, window(), [&] { ShowPreset(commands_.centerSafe(ChoiceOf(ObjectImageBox))); });
}

void ObjectsSection::SplashScreenCenterClick()
{
    Guarded(prompter_, window(), [&] { ShowPreset(commands_.splashScreenCenter(ChoiceOf(ObjectImageBox))); });
}

void ObjectsSection::BackgroundTiledZindle1Click()
{
    ShowStatus(prompter_, window(), commands_.tiledBackground(ChoiceOf(ObjectImageBox), CurrentViewState()));
}

}  // namespace qel::ui
