#pragma once
// The definitions last opened or saved, newest first, at most ten, kept in
// the settings store beside the compiler and the collecting switch.

#include <QString>
#include <QStringList>

#include "platform/SettingsStore.h"

namespace qel::app {

class RecentFiles {
public:
    static constexpr int kMost = 10;

    explicit RecentFiles(qel::platform::SettingsStore& store);

    // Reads the stored list; a missing or unreadable one is empty.
    void load();
    const QStringList& paths() const { return paths_; }

    // `path` goes first (once), the oldest beyond ten go.
    void add(const QString& path);
    void remove(const QString& path);
    void clear();

private:
    // A list that cannot be stored is still kept for this session: losing
    // it is not worth an error box.
    void store();

    qel::platform::SettingsStore& store_;
    QStringList paths_;
};

}  // namespace qel::app
