#include "app/RecentFiles.h"

namespace qel::app {

namespace {

const QString kRecent = QStringLiteral("RecentFiles");
// One value holds the list: a file name never holds a line break the user
// could want back, and one written value cannot be half updated.
const QChar kSeparator = u'\n';

}  // namespace

RecentFiles::RecentFiles(qel::platform::SettingsStore& store) : store_(store) {}

void RecentFiles::load()
{
    paths_.clear();
    QString stored;
    if (store_.readString(kRecent, stored) != qel::platform::StoredValue::Present)
        return;
    for (const QString& path : stored.split(kSeparator, Qt::SkipEmptyParts))
        if (!paths_.contains(path) && paths_.size() < kMost)
            paths_ << path;
}

void RecentFiles::add(const QString& path)
{
    if (path.isEmpty() || path.contains(kSeparator))
        return;
    paths_.removeAll(path);
    paths_.prepend(path);
    while (paths_.size() > kMost)
        paths_.removeLast();
    store();
}

void RecentFiles::remove(const QString& path)
{
    if (paths_.removeAll(path) > 0)
        store();
}

void RecentFiles::clear()
{
    paths_.clear();
    store();
}

void RecentFiles::store()
{
    store_.writeString(kRecent, paths_.join(kSeparator));
}

}  // namespace qel::app
