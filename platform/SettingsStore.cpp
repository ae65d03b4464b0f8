#include "platform/SettingsStore.h"

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
    const auto settings = OpenSettings(iniFile_);
    settings->setValue(name, value);
    settings->sync();
    return settings->status() == QSettings::NoError;
}

bool QtSettingsStore::writeInteger(const QString& name, qint32 value)
{
    const auto settings = OpenSettings(iniFile_);
    settings->setValue(name, value);
    settings->sync();
    return settings->status() == QSettings::NoError;
}

}  // namespace qel::platform
