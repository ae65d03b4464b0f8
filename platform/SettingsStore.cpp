#include "platform/SettingsStore.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QVariant>
#include <memory>

#include "core/IntConversion.h"

namespace qel::platform {

namespace {

std::unique_ptr<QSettings> OpenSettings(const QString& iniFile)
{
    if (iniFile.isEmpty())
        return std::make_unique<QSettings>(QStringLiteral("brix"), QStringLiteral("QELv2"));
    return std::make_unique<QSettings>(iniFile, QSettings::IniFormat);
}

bool IsIntegerType(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

#ifndef Q_OS_WIN
// A link counts as open: where it leads is not the user's to say.
bool OpenToOthers(const QByteArray& path)
{
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0)
        return false;  // nothing there: nothing to have been changed
    return info.st_uid != ::getuid() || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0 || S_ISLNK(info.st_mode);
}
#endif

bool Write(const QString& iniFile, const QString& name, const QVariant& value)
{
    const auto settings = OpenSettings(iniFile);
    settings->setValue(name, value);
#ifdef Q_OS_WIN
    settings->sync();
#else
    // Made with the user's bits alone from the start: a file made open to
    // everyone and closed a moment later could be opened meanwhile.
    const mode_t umask = ::umask(077);
    settings->sync();
    ::umask(umask);
    const QString file = settings->fileName();
    // A file or folder from an earlier start under another umask is closed
    // too; a folder the user named for the file is theirs to open.
    ::chmod(QFile::encodeName(file).constData(), 0600);
    if (iniFile.isEmpty())
        ::chmod(QFile::encodeName(QFileInfo(file).absolutePath()).constData(), 0700);
#endif
    return settings->status() == QSettings::NoError;
}

}  // namespace

QtSettingsStore::QtSettingsStore() = default;

QtSettingsStore::QtSettingsStore(const QString& iniFile) : iniFile_(iniFile) {}

QString QtSettingsStore::location() const
{
    return OpenSettings(iniFile_)->fileName();
}

StoredValue QtSettingsStore::readString(const QString& name, QString& value)
{
    const auto settings = OpenSettings(iniFile_);
    if (!settings->contains(name))
        return StoredValue::Missing;
    const QVariant stored = settings->value(name);
    if (stored.typeId() != QMetaType::QString)
        return StoredValue::WrongType;
    // A registry string may carry its own terminator and whatever follows it.
    value = stored.toString();
    const qsizetype zero = value.indexOf(QChar(u'\0'));
    if (zero >= 0)
        value.truncate(zero);
    return StoredValue::Present;
}

StoredValue QtSettingsStore::readInteger(const QString& name, qint32& value)
{
    const auto settings = OpenSettings(iniFile_);
    if (!settings->contains(name))
        return StoredValue::Missing;
    const QVariant stored = settings->value(name);
    if (IsIntegerType(stored)) {
        // A DWORD is 32 bits whatever the variant holds; keep its bit pattern.
        value = static_cast<qint32>(stored.toLongLong());
        return StoredValue::Present;
    }
#ifndef Q_OS_WIN
    // Configuration files hold every value as text: a whole number is the
    // integer type there.
    if (stored.typeId() == QMetaType::QString) {
        if (const auto number = qel::TryStrToInt(stored.toString().toLatin1().toStdString())) {
            value = *number;
            return StoredValue::Present;
        }
    }
#endif
    return StoredValue::WrongType;
}

bool QtSettingsStore::writeString(const QString& name, const QString& value)
{
    return Write(iniFile_, name, value);
}

bool QtSettingsStore::writeInteger(const QString& name, qint32 value)
{
    return Write(iniFile_, name, value);
}

bool QtSettingsStore::writableByOthers() const
{
#ifdef Q_OS_WIN
    return false;
#else
    const QByteArray file = QFile::encodeName(location());
    return OpenToOthers(file) || OpenToOthers(QFile::encodeName(QFileInfo(location()).absolutePath()));
#endif
}

}  // namespace qel::platform
