#pragma once
// The desktop services the main window's sections use. Tests and benchmarks
// hand in fakes; what is left empty the window makes itself from the Qt
// implementations.

#include <QString>

namespace qel::platform {
class Clipboard;
class FileOperations;
class PictureService;
class SoundService;
}  // namespace qel::platform

namespace qel::ui {

struct WindowServices {
    platform::FileOperations* files = nullptr;
    platform::PictureService* pictures = nullptr;
    platform::SoundService* sound = nullptr;
    platform::Clipboard* clipboard = nullptr;
    // Where the sound preview's copy goes first; empty: the program's folder.
    QString soundCopyFolder;
    // Where the compiler's logs go; empty: the user's cache folder.
    QString compilerLogFolder;
};

}  // namespace qel::ui
