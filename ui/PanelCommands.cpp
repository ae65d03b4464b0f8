#include "ui/PanelCommands.h"

#include <QLocale>

#include "app/ChangeObjectsStep.h"
#include "app/ClipboardSteps.h"
#include "ui/Guarded.h"
#include "ui/MapEditor.h"

namespace qel::ui {

PanelCommands::PanelCommands(app::DocumentSession& session, Prompter& prompter, QWidget& window, ValuesSource values,
                             ViewSource view)
    : session_(session), prompter_(prompter), window_(window), values_(std::move(values)), view_(std::move(view))
{
}

void PanelCommands::changeObjects(ObjectKind kind, const std::vector<std::size_t>& rows, const ObjectChange& change)
{
    if (rows.empty() || !change.any())
        return;
    Guarded(prompter_, &window_, [&] {
        auto step = std::make_unique<app::ChangeObjectsStep>(session_, kind, rows, change);
        if (!step->changesAnything())
            return;
        if (view_)
            step->setViewBefore(view_());
        session_.push(std::move(step));
    });
}

bool PanelCommands::guarded(const std::function<void()>& handler)
{
    return Guarded(prompter_, &window_, handler);
}

bool PanelCommands::confirmStamp(std::int64_t count)
{
    if (count <= kStampQuestionAbove)
        return true;
    return prompter_.confirm(&window_, QStringLiteral("Stamp %1 objects?").arg(QLocale::c().toString(count)));
}

void PanelCommands::stamp(const std::vector<StampPoint>& points)
{
    if (points.empty())
        return;
    if (points.size() == 1) {
        if (placer_ != nullptr)
            placer_->placeAt(points.front().first, points.front().second);
        return;
    }
    Guarded(prompter_, &window_, [&] {
        const EditorValues base = values_();
        const auto& images = session_.document().images();
        if (base.imageChoice < 0 || static_cast<std::size_t>(base.imageChoice) >= images.size())
            return;
        // Composed once: only the position differs from one object to the next.
        EditorValues values = base;
        values.xText = "0";
        values.yText = "0";
        const std::string line = ComposeObjectLine(values, images);
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
        auto step = std::make_unique<app::InsertObjectsStep>(session_, ObjectKind::Map, "Stamp", std::move(lines));
        if (view_)
            step->setViewBefore(view_());
        session_.push(std::move(step));
    });
}

}  // namespace qel::ui
