#pragma once
// The per-user store of the editor's two settings. Callers see only named
// string and integer values, so the registry of Windows and the configuration
// files elsewhere look the same to them, and tests can use a fake.

#include <QString>
#include <QtGlobal>

namespace qel::platform {

// What a read found.
enum class StoredValue {
    Present,    // the value exists and has the type asked for
    Missing,    // there is no value of that name (or the store cannot be opened)
    WrongType,  // there is a value of that name, but of another type
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // `value` is set only when the result is Present.
    virtual StoredValue readString(const QString& name, QString& value) = 0;
    virtual StoredValue readInteger(const QString& name, qint32& value) = 0;

    // False when the value could not be written.
    virtual bool writeString(const QString& name, const QString& value) = 0;
    virtual bool writeInteger(const QString& name, qint32 value) = 0;

    // Whether users other than this one could have changed what the store
    // holds: the file, or its folder, is writable by others or not the
    // user's own.
    virtual bool writableByOthers() const { return false; }
};

// QSettings of organisation "brix", application "QELv2": the registry key
// HKEY_CURRENT_USER\Software\brix\QELv2 on Windows, the per-user configuration
// file elsewhere. It names the command Compile runs, so every write leaves
// the file readable and writable by the user alone (0600) and its own folder
// (not the configuration folder above it) open to the user alone (0700),
// whatever the umask.
class QtSettingsStore : public SettingsStore {
public:
    QtSettingsStore();
    // An INI file of its own instead of the user's store (tests, portable use).
    explicit QtSettingsStore(const QString& iniFile);

    // The file or registry path the values live in.
    QString location() const;

    StoredValue readString(const QString& name, QString& value) override;
    StoredValue readInteger(const QString& name, qint32& value) override;
    bool writeString(const QString& name, const QString& value) override;
    bool writeInteger(const QString& name, qint32 value) override;
    // Elsewhere than Windows: the configuration file and its folder.
    bool writableByOthers() const override;

private:
    QString iniFile_;  // empty: the user's native store
};

}  // namespace qel::platform
