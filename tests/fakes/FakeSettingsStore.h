#pragma once
// An in-memory settings store for tests: values of either type under any
// name, a switch that makes every write fail, and a log of the writes.

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "platform/SettingsStore.h"

namespace qel::platform {

class FakeSettingsStore : public SettingsStore {
public:
    // Values: QString for strings, int for integers; anything else (a
    // QByteArray, a double, ...) is a value of a third type.
    QMap<QString, QVariant> values;
    // When true, writes fail and change nothing.
    bool failWrites = false;
    // "NAME=VALUE" for every write attempted, failed ones included.
    QStringList writes;

    StoredValue readString(const QString& name, QString& value) override
    {
        const auto found = values.constFind(name);
        if (found == values.cend())
            return StoredValue::Missing;
        if (found->typeId() != QMetaType::QString)
            return StoredValue::WrongType;
        value = found->toString();
        return StoredValue::Present;
    }

    StoredValue readInteger(const QString& name, qint32& value) override
    {
        const auto found = values.constFind(name);
        if (found == values.cend())
            return StoredValue::Missing;
        if (found->typeId() != QMetaType::Int)
            return StoredValue::WrongType;
        value = found->toInt();
        return StoredValue::Present;
    }

    bool writeString(const QString& name, const QString& value) override { return write(name, QVariant(value)); }

    bool writeInteger(const QString& name, qint32 value) override
    {
        return write(name, QVariant(static_cast<int>(value)));
    }

private:
    bool write(const QString& name, const QVariant& value)
    {
        writes << name + u'=' + value.toString();
        if (failWrites)
            return false;
        values.insert(name, value);
        return true;
    }
};

}  // namespace qel::platform
