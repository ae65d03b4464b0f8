#pragma once
// The disk as `qeltool check` sees it: file existence from the system, and
// pictures decoded as the editor's preview decodes them (the same service and
// limits) when the tool is built with Qt.

#include <string>

#include "core/ProblemCheck.h"

namespace qeltool {

class CheckDisk : public qel::CheckEnvironment {
public:
    // True when pictures are decoded; false in a build without Qt, where
    // only existence is checked.
    static bool decodesPictures();

    bool fileExists(const std::string& path) override;
    qel::PictureFacts picture(const std::string& path) override;
    bool isFolder(const std::string& path) override;
};

}  // namespace qeltool
