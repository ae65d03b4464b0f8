#include "FileOperations.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include "FileNameText.h"

namespace qel::platform {

bool QtFileOperations::exists(const std::string& path) const
{
    if (path.empty())
        return false;
    const QFileInfo info(FileNameText(path));
    return info.exists() && !info.isDir();
}

bool QtFileOperations::copy(const std::string& source, const std::string& target, bool replace)
{
    const QString from = FileNameText(source);
    const QString to = FileNameText(target);
    if (!replace)
        return QFile::copy(from, to);  // refuses an existing target itself
    // Copy beside the target first, so that a failed copy leaves the old
    // target whole.
    const QString fresh = to + QStringLiteral(".part");
    QFile::remove(fresh);
    if (!QFile::copy(from, fresh))
        return false;
    QFile::remove(to);
    if (QFile::rename(fresh, to))
        return true;
    QFile::remove(fresh);
    return false;
}

bool QtFileOperations::remove(const std::string& path)
{
    const QString name = FileNameText(path);
    return !QFileInfo::exists(name) || QFile::remove(name);
}

}  // namespace qel::platform
