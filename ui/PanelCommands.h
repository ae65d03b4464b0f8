#pragma once
// The map window's panels and its stamp reach the object commands here:
// Properties is Change Selected Objects (one step), the stamp is Place for
// one object and the stamp command for a line or a fill (one step). What
// this adds to the commands is the window's side: the question before a big
// stamp and failures shown through the prompter.

#include <QString>
#include <cstddef>
#include <functional>
#include <vector>

#include "app/ObjectCommands.h"
#include "app/ViewState.h"
#include "core/ObjectChange.h"
#include "core/ObjectEditor.h"
#include "core/StampLayout.h"

class QWidget;

namespace qel::ui {

class MapEditor;
class Prompter;

class PanelCommands {
public:
    using ValuesSource = std::function<EditorValues()>;
    using ViewSource = std::function<app::ViewState()>;

    PanelCommands(app::ObjectCommands& commands, Prompter& prompter, QWidget& window, ValuesSource values,
                  ViewSource view = {});

    // Who places one map object (the map view's Place).
    void setPlacer(MapEditor* placer) { placer_ = placer; }
    EditorValues editorValues() const { return values_(); }
    // Runs a handler; a failure is shown in the error box. True when it ran to its end.
    bool guarded(const std::function<void()>& handler);

    // Change Selected Objects on `rows` of `kind`; nothing when it would
    // change no row.
    void changeObjects(ObjectKind kind, const std::vector<std::size_t>& rows, const ObjectChange& change);
    // Map objects with the object editor's values at each point, appended.
    void stamp(const std::vector<StampPoint>& points);
    // Asks before a stamp of more than kStampQuestionAbove objects.
    bool confirmStamp(std::int64_t count);
    static constexpr std::int64_t kStampQuestionAbove = 10000;

private:
    app::ObjectCommands& commands_;
    Prompter& prompter_;
    QWidget& window_;
    ValuesSource values_;
    ViewSource view_;
    MapEditor* placer_ = nullptr;
};

}  // namespace qel::ui
