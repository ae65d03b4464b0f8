#pragma once
// The commands on the object lists: Add, Apply, Delete, Clear, Switch, Sort,
// the presets, Change Selected Objects, Move, Place, Cut, Copy, Paste and
// Duplicate. Every view that edits objects (the Objects Section, the Edit
// menu, the lists' and the canvases' context menus, the map view's tools, a
// panel or a palette) calls these, so each command is written once.
//
// Contract:
// - Each takes plain values: the kind, the rows (ascending or not, as the
//   command says), the editor's values, and `view`, the object lists' view
//   state as the caller shows it now. A step keeps `view` as the state its
//   undo puts back; the state after the step reaches the views through the
//   session (viewStateRequested), never through the caller.
// - Each is one undoable step of the session, or none when it changes
//   nothing (no rows, nothing on the clipboard, a preset without a picture).
// - Questions go through CommandQuestions; nothing here shows a failure. The
//   status is Failed with the exception whose message the user reads (the
//   caller shows it), Cancelled when the user said no, Done otherwise.
// - A failure during a step's rebuild (a map line whose X is no number)
//   leaves the step made, as the editor's rules want: compare the
//   document's changeCount() before and after to tell.
// - Nothing here holds a selection: Select All and the like are views' work.

#include <QSize>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/CommandQuestions.h"
#include "app/ViewState.h"
#include "core/ObjectChange.h"
#include "core/ObjectEditor.h"
#include "core/ObjectSort.h"
#include "core/Presets.h"

namespace qel::platform {
class Clipboard;
class FileOperations;
class PictureService;
}  // namespace qel::platform

namespace qel::app {

class DocumentSession;

// The tiled background asks before it makes more lines than this.
inline constexpr std::size_t kTiledBackgroundQuestionAbove = 1000000;

class ObjectCommands {
public:
    using Point = std::pair<std::int64_t, std::int64_t>;

    // `files` and `pictures` read the presets' picture sizes; `clipboard`
    // holds what Cut and Copy leave and Paste takes. All outlive this.
    ObjectCommands(DocumentSession& session, CommandQuestions& questions, platform::Clipboard& clipboard,
                   platform::FileOperations& files, platform::PictureService& pictures);

    // `values` as the editor holds them; the step expands the tile shorthand
    // ("@" for Add, "t" for Apply) itself.
    CommandStatus add(ObjectKind kind, const EditorValues& values, const ViewState& view);
    CommandStatus apply(ObjectKind kind, const EditorValues& values, std::size_t row, const ViewState& view);
    // Place: Add with (x, y) as the position; nothing unless `values` chooses
    // one of the images.
    CommandStatus place(ObjectKind kind, EditorValues values, std::int32_t x, std::int32_t y, const ViewState& view);
    bool canPlace(const EditorValues& values) const;
    // The stamp: a map object with `values` at each point, appended in the
    // points' order as one step ("Stamp N objects"); one point is Place.
    // Nothing unless `values` chooses one of the images.
    CommandStatus stamp(const EditorValues& values, const std::vector<Point>& points, const ViewState& view);
    CommandStatus remove(ObjectKind kind, const std::vector<std::size_t>& rows, const ViewState& view);
    CommandStatus clear(ObjectKind kind, const ViewState& view);
    // Copies `rows` of the shown kind to the other kind.
    CommandStatus switchKind(ObjectKind shown, const std::vector<std::size_t>& rows, const ViewState& view);
    // Sorts `kind` by `key` (none: sorts nothing) and recomposes both lists.
    CommandStatus sort(ObjectKind kind, std::optional<SortKey> key, const ViewState& view);
    // Moves the rows by (dx, dy); rows that cannot move stay.
    CommandStatus move(ObjectKind kind, const std::vector<std::size_t>& rows, std::int64_t dx, std::int64_t dy,
                       const ViewState& view);
    // Changes the chosen fields of `rows`; no step when no row changes.
    CommandStatus changeSelected(ObjectKind kind, const std::vector<std::size_t>& rows, const ObjectChange& change,
                                 const ViewState& view);

    // The size of the picture of image `imageChoice` (an index into the
    // images), read as a Windows bitmap; none when no image is chosen or no
    // file is there. Throws "Bitmap image is not valid" for any other file.
    std::optional<QSize> presetPictureSize(int imageChoice) const;
    // Center Safe and SplashScreen - Center only fill the editor: the values
    // to show and the kind to show, or none (no picture).
    std::optional<EditorPreset> centerSafe(int imageChoice) const;
    std::optional<EditorPreset> splashScreenCenter(int imageChoice) const;
    // Background (TiledZindle): asks before more than
    // kTiledBackgroundQuestionAbove lines, refuses what memory cannot hold.
    CommandStatus tiledBackground(int imageChoice, const ViewState& view);

    // The clipboard: Copy and Cut leave the rows' lines there; Paste puts
    // the clipboard's lines in after the last selected row of `view` (at
    // the end when none is); with `at`, the group's top-left goes there.
    CommandStatus copy(ObjectKind kind, const std::vector<std::size_t>& rows);
    CommandStatus cut(ObjectKind kind, const std::vector<std::size_t>& rows, const ViewState& view);
    CommandStatus paste(ObjectKind kind, const ViewState& view, std::optional<Point> at = std::nullopt);
    CommandStatus duplicate(ObjectKind kind, const std::vector<std::size_t>& rows, const ViewState& view);
    bool clipboardHasText() const;

private:
    std::optional<EditorPreset> preset(int imageChoice, bool centerSafe) const;

    DocumentSession& session_;
    CommandQuestions& questions_;
    platform::Clipboard& clipboard_;
    platform::FileOperations& files_;
    platform::PictureService& pictures_;
};

}  // namespace qel::app
