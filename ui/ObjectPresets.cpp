#include "ui/ObjectsSection.h"

#include <QFileInfo>
#include <QMenu>
#include <QToolButton>

#include "app/DocumentSession.h"
#include "app/ObjectSteps.h"
#include "core/Errors.h"
#include "core/Presets.h"
#include "platform/AvailableMemory.h"
#include "platform/FileNameText.h"
#include "platform/PictureService.h"
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

std::optional<QSize> ObjectsSection::ChosenPictureSize()
{
    const DefinitionDocument& doc = session_.document();
    const int choice = ChoiceOf(ObjectImageBox);
    if (choice < 0 || static_cast<std::size_t>(choice) >= doc.images().size())
        return std::nullopt;
    const std::string bytes = doc.documentFolder() + doc.images()[static_cast<std::size_t>(choice)].file;
    const QString path = FileNameText(bytes);
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    return pictures_.bitmapSize(path);
}

void ObjectsSection::CenterSafeClick()
{
    Guarded(prompter_, window(), [&] {
        if (const std::optional<QSize> size = ChosenPictureSize()) {
            const EditorPreset preset = CenterSafePreset(size->width(), size->height(), ChoiceOf(ObjectImageBox));
            ShowEditorValues(preset.values);
            ShowKind(preset.kind);
            loaded_.reset();
        }
    });
}

void ObjectsSection::SplashScreenCenterClick()
{
    Guarded(prompter_, window(), [&] {
        if (const std::optional<QSize> size = ChosenPictureSize()) {
            const EditorPreset preset =
                SplashScreenCenterPreset(size->width(), size->height(), ChoiceOf(ObjectImageBox));
            ShowEditorValues(preset.values);
            ShowKind(preset.kind);
            loaded_.reset();
        }
    });
}

void ObjectsSection::BackgroundTiledZindle1Click()
{
    Guarded(prompter_, window(), [&] {
        const std::optional<QSize> size = ChosenPictureSize();
        if (!size)
            return;
        // A small picture makes a great many lines: say how many first.
        const std::size_t count = TiledBackgroundLineCount(size->width(), size->height());
        if (count > kTiledBackgroundQuestionAbove
            && !prompter_.confirm(window(), QStringLiteral("This makes %1 objects. Go on?").arg(count)))
            return;
        // Refused before anything is made: running out of memory half way
        // would end the editor and lose what is not saved.
        const std::optional<std::uint64_t> available = platform::AvailableMemoryBytes();
        if (available && static_cast<double>(count) * kTiledLineBytes > static_cast<double>(*available))
            throw MessageError("Not enough memory to make " + std::to_string(count) + " objects");
        Push(std::make_unique<app::TiledBackgroundStep>(session_, size->width(), size->height(),
                                                        ChoiceOf(ObjectImageBox)));
    });
}

}  // namespace qel::ui
