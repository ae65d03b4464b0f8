#pragma once
// Compile: save the definition, then hand it to the package compiler, which
// runs on its own; the editor does not wait for it.

#include <QString>
#include <QStringList>
#include <functional>

#include "app/AppSettings.h"
#include "app/DocumentSession.h"
#include "platform/ProcessLauncher.h"

namespace qel::app {

// Why Compile refuses a compiler read from a store other users can write.
inline constexpr const char* kDistrustedCompilerMessage =
    "Other users can change the settings file, so the compiler it names is not started: select the compiler again "
    "from the options screen!";

// Throws qel::MessageError when no compiler is chosen (or the stored one is
// distrusted), when the document has
// no file, or when the compiler cannot be started; a failed save (FileError)
// propagates and the compiler is not started.
void CompileDefinition(DocumentSession& session, const AppSettings& settings, qel::platform::ProcessLauncher& launcher);
struct CompilerProcess;
// The same, with `start` starting the compiler (throwing qel::MessageError
// with the reason when it cannot).
void CompileDefinition(DocumentSession& session, const AppSettings& settings,
                       const std::function<void(const CompilerProcess&)>& start);

// The program and arguments that start `compilerPath` on `definitionPath`.
struct CompilerProcess {
    QString program;
    QStringList arguments;

    friend bool operator==(const CompilerProcess&, const CompilerProcess&) = default;
};

// `throughWine`: run a Windows executable through the `wine` loader.
CompilerProcess ComposeCompilerProcess(const QString& compilerPath, const QString& definitionPath, bool throughWine);

// True for a compiler named "*.exe" (any case) on a system other than Windows
// that has `wine` on its PATH.
bool NeedsWine(const QString& compilerPath);

}  // namespace qel::app
