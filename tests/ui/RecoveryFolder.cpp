// Recovery copies of the windows and sessions under test stay with the test
// run, clear of the user's own.

#include <QTemporaryDir>

#include "app/RecoveryStore.h"

namespace {

struct TemporaryRecoveryFolder {
    TemporaryRecoveryFolder() { qel::app::RecoveryStore::SetStandardFolder(folder.path()); }
    QTemporaryDir folder;
};

const TemporaryRecoveryFolder kFolder;

}  // namespace
