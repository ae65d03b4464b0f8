#pragma once
// What a window benchmark hands the main window: a prompter that answers
// without asking (the open dialog with `file`, confirmations with `confirmAnswer`,
// "Save changes?" with No) and counts error boxes as failures of the run, a
// settings store that holds nothing but "collect files", and a launcher that
// starts nothing. Also the little each run needs: writing its input file and
// reading the clock.

#include <QFile>
#include <QString>
#include <QStringList>
#include <chrono>
#include <cstdio>
#include <string>

#include "platform/ProcessLauncher.h"
#include "platform/SettingsStore.h"
#include "ui/Prompter.h"

namespace qelbench {

class BenchPrompter : public qel::ui::Prompter {
public:
    QString file;
    bool confirmAnswer = true;
    int failures = 0;

    void information(QWidget*, const QString& message) override
    {
        std::fprintf(stderr, "information box: %s\n", qPrintable(message));
    }
    void error(QWidget*, const QString& message) override
    {
        std::fprintf(stderr, "error box: %s\n", qPrintable(message));
        ++failures;
    }
    bool confirm(QWidget*, const QString&) override { return confirmAnswer; }
    qel::ui::SaveChangesAnswer askSaveChanges(QWidget*, const QString&) override
    {
        return qel::ui::SaveChangesAnswer::No;
    }
    QString openFile(QWidget*, const QString&) override { return file; }
    QStringList openFiles(QWidget*, const QString&) override { return {}; }
    QString saveFile(QWidget*, const QString&) override { return {}; }
};

class NoSettings : public qel::platform::SettingsStore {
public:
    qel::platform::StoredValue readString(const QString&, QString&) override
    {
        return qel::platform::StoredValue::Missing;
    }
    qel::platform::StoredValue readInteger(const QString&, qint32& value) override
    {
        value = 1;
        return qel::platform::StoredValue::Present;
    }
    bool writeString(const QString&, const QString&) override { return true; }
    bool writeInteger(const QString&, qint32) override { return true; }
};

class NoLauncher : public qel::platform::ProcessLauncher {
public:
    std::unique_ptr<qel::platform::RunningProcess> run(const QString&, const QStringList&, const QString&,
                                                       qel::platform::ProcessWatch) override
    {
        return nullptr;
    }
};

// Writes `bytes` to `file`; says so and returns false when it cannot.
inline bool WriteBenchFile(const QString& file, const std::string& bytes)
{
    QFile out(file);
    if (out.open(QIODevice::WriteOnly)
        && out.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    return false;
}

using Clock = std::chrono::steady_clock;

inline double SecondsSince(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

}  // namespace qelbench
