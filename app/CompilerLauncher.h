#pragma once
// Compile: the checks before the save, and handing the saved definition to
// the package compiler, which runs on its own; the editor does not wait for
// it.

#include <QString>
#include <QStringList>
#include <functional>
#include <string>

#include "app/AppSettings.h"
#include "app/DocumentSession.h"
#include "platform/ProcessLauncher.h"

namespace qel::app {

// Why Compile refuses a compiler read from a store other users can write.
inline constexpr const char* kDistrustedCompilerMessage =
    "Other users can change the settings file, so the compiler it names is not started: select the compiler again "
    "from the options screen!";

// What Compile checks before anything is saved or asked: throws
// qel::MessageError when no compiler is chosen (or the stored one is not
// trusted), then when the document has no file.
void CheckCompileReady(const DefinitionDocument& doc, const AppSettings& settings);
struct CompilerProcess;
// Starts the compiler on the document's (saved) file through `start`, which
// throws qel::MessageError with the reason when it cannot; that reason comes
// back naming the compiler.
void StartCompiler(const DefinitionDocument& doc, const AppSettings& settings,
                   const std::function<void(const CompilerProcess&)>& start);

// The program and arguments that start `compilerPath` on `definitionPath`.
struct CompilerProcess {
    QString program;
    QStringList arguments;

    friend bool operator==(const CompilerProcess&, const CompilerProcess&) = default;
};

// `throughWine`: run a Windows executable through the `wine` loader.
CompilerProcess ComposeCompilerProcess(const QString& compilerPath, const QString& definitionPath, bool throughWine);

// The log of the compiler run on `definition` (file name bytes): one per
// definition in `folder`, the next run replacing it.
QString CompilerLogPath(const QString& folder, const std::string& definition);

// True for a compiler named "*.exe" (any case) on a system other than Windows
// that has `wine` on its PATH.
bool NeedsWine(const QString& compilerPath);

}  // namespace qel::app
