#pragma once
// What the editor was asked to do on its command line. Read before the
// application object exists, so that --help and --version work without a
// display; nothing here needs the GUI.

#include <QString>
#include <QStringList>

namespace qel::ui {

struct CommandLine {
    enum class Action {
        Start,  // open the window; `path` is the file to open, or empty
        Print,  // write `text` to standard output and end with status 0
        Fail,   // write `text` (one line) to standard error and end with status 2
    };
    Action action = Action::Start;
    // Absolute, so the title and status bar name the file as Open would.
    QString path;
    QString text;
};

inline constexpr int kUsageExitStatus = 2;

// `arguments` are the words after the program name.
CommandLine ParseCommandLine(const QStringList& arguments);

// The words after the program name, decoded as file names are.
QStringList ArgumentsOf(int argc, const char* const* argv);

}  // namespace qel::ui
