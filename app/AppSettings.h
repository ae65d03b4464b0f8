#pragma once
// The two stored settings in memory: where the package compiler is, and
// whether files added to the file list are copied next to the definition.

#include <QString>
#include <string>
#include <vector>

#include "platform/SettingsStore.h"

namespace qel::app {

class AppSettings {
public:
    explicit AppSettings(qel::platform::SettingsStore& store);

    // Reads "Compiler" and "Collect" at start-up. A missing or non-integer
    // "Collect" is stored as 1 (collecting on). Returns the messages for the
    // error boxes ("Failed to set data for 'Collect'", "Invalid data type for
    // 'Compiler'"); start-up goes on with whatever was loaded.
    std::vector<std::string> load();

    // Empty also when the stored one was not taken: a store that other users
    // can write may name any program for Compile to run.
    const QString& compilerPath() const { return compilerPath_; }
    bool compilerDistrusted() const { return distrusted_; }
    bool collectFiles() const { return collectFiles_; }

    // Kept in memory only: the stored "Collect" holds again at the next start.
    void setCollectFiles(bool on) { collectFiles_ = on; }

    // Takes `path` into memory (even when storing fails), then stores it as
    // "Compiler". Throws qel::MessageError("Failed to set data for 'Compiler'")
    // when the store cannot be written.
    void setCompilerPathAndStore(const QString& path);

private:
    qel::platform::SettingsStore& store_;
    QString compilerPath_;
    bool collectFiles_ = false;
    bool distrusted_ = false;
};

}  // namespace qel::app
