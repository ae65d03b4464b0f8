#include "app/ObjectCommands.h"

#include <string>

#include "app/ClipboardSteps.h"
#include "app/CommandRun.h"
#include "app/DocumentSession.h"
#include "app/ObjectSteps.h"
#include "app/ReplaceRowsStep.h"
#include "core/Errors.h"
#include "core/IntConversion.h"
#include "core/Presets.h"
#include "platform/AvailableMemory.h"
#include "platform/Clipboard.h"
#include "platform/FileNameText.h"
#include "platform/FileOperations.h"
#include "platform/PictureService.h"

namespace qel::app {

ObjectCommands::ObjectCommands(DocumentSession& session, CommandQuestions& questions, platform::Clipboard& clipboard,
                               platform::FileOperations& files, platform::PictureService& pictures)
    : session_(session), questions_(questions), clipboard_(clipboard), files_(files), pictures_(pictures)
{
}

namespace {

// Pushes the step, if one was made, with the view it found.
void Push(DocumentSession& session, std::unique_ptr<SessionStep> step, const ViewState& view)
{
    if (!step)
        return;
    step->setViewBefore(view);
    session.push(std::move(step));
}

}  // namespace

CommandStatus ObjectCommands::add(ObjectKind kind, const EditorValues& values, const ViewState& view)
{
    return RunCommand([&] {
        Push(session_, std::make_unique<AddObjectStep>(session_, kind, values), view);
        return true;
    });
}

CommandStatus ObjectCommands::apply(ObjectKind kind, const EditorValues& values, std::size_t row, const ViewState& view)
{
    return RunCommand([&] {
        Push(session_, std::make_unique<ApplyObjectStep>(session_, kind, values, row), view);
        return true;
    });
}

bool ObjectCommands::canPlace(const EditorValues& values) const
{
    return values.imageChoice >= 0
           && static_cast<std::size_t>(values.imageChoice) < session_.document().images().size();
}

CommandStatus ObjectCommands::place(ObjectKind kind, EditorValues values, std::int32_t x, std::int32_t y,
                                    const ViewState& view)
{
    if (!canPlace(values))
        return {};
    values.xText = IntToStr(x);
    values.yText = IntToStr(y);
    return add(kind, values, view);
}

CommandStatus ObjectCommands::stamp(const EditorValues& values, const std::vector<Point>& points, const ViewState& view)
{
    if (points.empty() || !canPlace(values))
        return {};
    if (points.size() == 1)
        return place(ObjectKind::Map, values, static_cast<std::int32_t>(points.front().first),
                     static_cast<std::int32_t>(points.front().second), view);
    return RunCommand([&] {
        // Composed once: only the position differs from one object to the next.
        EditorValues at0 = values;
        at0.xText = "0";
        at0.yText = "0";
        const std::string line = ComposeObjectLine(at0, session_.document().images());
        const std::string_view rest = std::string_view(line).substr(3);  // after "0,0"
        const std::size_t at = session_.document().mapObjects().size();
        RowLines lines;
        lines.rows.reserve(points.size());
        lines.ends.reserve(points.size());
        lines.bytes.reserve(points.size() * (line.size() + 12));
        std::string text;
        for (std::size_t i = 0; i < points.size(); ++i) {
            text = std::to_string(points[i].first) + ',' + std::to_string(points[i].second);
            text += rest;
            lines.add(at + i, text);
        }
        Push(session_, std::make_unique<InsertObjectsStep>(session_, ObjectKind::Map, "Stamp", std::move(lines)), view);
        return true;
    });
}

CommandStatus ObjectCommands::remove(ObjectKind kind, const std::vector<std::size_t>& rows, const ViewState& view)
{
    return RunCommand([&] {
        Push(session_, std::make_unique<DeleteObjectsStep>(session_, kind, rows), view);
        return true;
    });
}

CommandStatus ObjectCommands::clear(ObjectKind kind, const ViewState& view)
{
    return RunCommand([&] {
        Push(session_, std::make_unique<ClearObjectsStep>(session_, kind), view);
        return true;
    });
}

CommandStatus ObjectCommands::switchKind(ObjectKind shown, const std::vector<std::size_t>& rows, const ViewState& view)
{
    return RunCommand([&] {
        Push(session_, std::make_unique<SwitchObjectsStep>(session_, shown, rows), view);
        return true;
    });
}

CommandStatus ObjectCommands::sort(ObjectKind kind, std::optional<SortKey> key, const ViewState& view)
{
    return RunCommand([&] {
        Push(session_, std::make_unique<SortObjectsStep>(session_, kind, key), view);
        return true;
    });
}

CommandStatus ObjectCommands::move(ObjectKind kind, const std::vector<std::size_t>& rows, std::int64_t dx,
                                   std::int64_t dy, const ViewState& view)
{
    return RunCommand([&] {
        Push(session_, std::make_unique<MoveObjectsStep>(session_, kind, rows, dx, dy), view);
        return true;
    });
}

CommandStatus ObjectCommands::changeSelected(ObjectKind kind, const std::vector<std::size_t>& rows,
                                             const ObjectChange& change, const ViewState& view)
{
    if (rows.empty() || !change.any())
        return {};
    return RunCommand([&] {
        Push(session_, std::make_unique<ChangeObjectsStep>(session_, kind, rows, change), view);
        return true;
    });
}

// ---------------------------------------------------------------- presets

std::optional<QSize> ObjectCommands::presetPictureSize(int imageChoice) const
{
    const DefinitionDocument& doc = session_.document();
    if (imageChoice < 0 || static_cast<std::size_t>(imageChoice) >= doc.images().size())
        return std::nullopt;
    const std::string path = doc.documentFolder() + doc.images()[static_cast<std::size_t>(imageChoice)].file;
    if (!files_.isFile(path))
        return std::nullopt;
    return pictures_.bitmapSize(FileNameText(path));
}

std::optional<EditorPreset> ObjectCommands::preset(int imageChoice, bool centerSafe) const
{
    const std::optional<QSize> size = presetPictureSize(imageChoice);
    if (!size)
        return std::nullopt;
    return centerSafe ? CenterSafePreset(size->width(), size->height(), imageChoice)
                      : SplashScreenCenterPreset(size->width(), size->height(), imageChoice);
}

std::optional<EditorPreset> ObjectCommands::centerSafe(int imageChoice) const
{
    return preset(imageChoice, true);
}

std::optional<EditorPreset> ObjectCommands::splashScreenCenter(int imageChoice) const
{
    return preset(imageChoice, false);
}

CommandStatus ObjectCommands::tiledBackground(int imageChoice, const ViewState& view)
{
    return RunCommand([&] {
        const std::optional<QSize> size = presetPictureSize(imageChoice);
        if (!size)
            return true;
        // A small picture makes a great many lines: say how many first.
        const std::size_t count = TiledBackgroundLineCount(size->width(), size->height());
        if (count > kTiledBackgroundQuestionAbove
            && !questions_.confirm(QStringLiteral("This makes %1 objects. Go on?").arg(count)))
            return false;
        // Refused before anything is made: running out of memory half way
        // would end the editor and lose what is not saved.
        const std::optional<std::uint64_t> available = platform::AvailableMemoryBytes();
        if (available && static_cast<double>(count) * kTiledLineBytes > static_cast<double>(*available))
            throw MessageError("Not enough memory to make " + std::to_string(count) + " objects");
        Push(session_, std::make_unique<TiledBackgroundStep>(session_, size->width(), size->height(), imageChoice),
             view);
        return true;
    });
}

// ---------------------------------------------------------------- clipboard

namespace {
QString Latin1(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
}  // namespace

CommandStatus ObjectCommands::copy(ObjectKind kind, const std::vector<std::size_t>& rows)
{
    return RunCommand([&] {
        if (!rows.empty())
            clipboard_.setText(Latin1(ClipboardText(session_.document().objects(kind), rows)));
        return true;
    });
}

CommandStatus ObjectCommands::cut(ObjectKind kind, const std::vector<std::size_t>& rows, const ViewState& view)
{
    return RunCommand([&] {
        if (rows.empty())
            return true;
        clipboard_.setText(Latin1(ClipboardText(session_.document().objects(kind), rows)));
        Push(session_, std::make_unique<CutObjectsStep>(session_, kind, rows), view);
        return true;
    });
}

CommandStatus ObjectCommands::paste(ObjectKind kind, const ViewState& view, std::optional<Point> at)
{
    return RunCommand([&] {
        const QString text = clipboard_.text();
        const std::u16string_view units(reinterpret_cast<const char16_t*>(text.utf16()),
                                        static_cast<std::size_t>(text.size()));
        const std::size_t row = InsertionRow(session_.document().objects(kind), view.of(kind));
        Push(session_, MakePaste(session_, kind, units, row, at), view);
        return true;
    });
}

CommandStatus ObjectCommands::duplicate(ObjectKind kind, const std::vector<std::size_t>& rows, const ViewState& view)
{
    return RunCommand([&] {
        Push(session_, MakeDuplicate(session_, kind, rows), view);
        return true;
    });
}

bool ObjectCommands::clipboardHasText() const
{
    return !clipboard_.text().isEmpty();
}

}  // namespace qel::app
