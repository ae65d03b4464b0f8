#include "ui/PanelCommands.h"

#include <QLocale>

#include "ui/Guarded.h"
#include "ui/MapEditor.h"

namespace qel::ui {

PanelCommands::PanelCommands(app::ObjectCommands& commands, Prompter& prompter, QWidget& window, ValuesSource values,
                             ViewSource view)
    : commands_(commands), prompter_(prompter), window_(window), values_(std::move(values)), view_(std::move(view))
{
}

void PanelCommands::changeObjects(ObjectKind kind, const std::vector<std::size_t>& rows, const ObjectChange& change)
{
    ShowStatus(prompter_, &window_, commands_.changeSelected(kind, rows, change, view_ ? view_() : app::ViewState{}));
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
    if (points.size() == 1 && placer_ != nullptr) {
        placer_->placeAt(points.front().first, points.front().second);
        return;
    }
    const std::vector<app::ObjectCommands::Point> at(points.begin(), points.end());
    ShowStatus(prompter_, &window_, commands_.stamp(values_(), at, view_ ? view_() : app::ViewState{}));
}

}  // namespace qel::ui
