#include "app/CompilerLauncher.h"

#include <QFileInfo>
#include <QStandardPaths>

#include "core/DefinitionWriter.h"
#include "core/Errors.h"
#include "platform/FileNameText.h"

namespace qel::app {

CompilerProcess ComposeCompilerProcess(const QString& compilerPath, const QString& definitionPath, bool throughWine)
{
    if (throughWine)
        return {QStringLiteral("wine"), {compilerPath, definitionPath}};
    return {compilerPath, {definitionPath}};
}

bool NeedsWine(const QString& compilerPath)
{
#ifdef Q_OS_WIN
    Q_UNUSED(compilerPath);
    return false;
#else
    return QFileInfo(compilerPath).fileName().endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)
           && !QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty();
#endif
}

void CompileDefinition(DocumentSession& session, const AppSettings& settings, qel::platform::ProcessLauncher& launcher)
{
    // Nobody listens: the compiler runs on its own, as it always did.
    CompileDefinition(session, settings, [&launcher](const CompilerProcess& process) {
        launcher.run(process.program, process.arguments, {});
    });
}

void CompileDefinition(DocumentSession& session, const AppSettings& settings,
                       const std::function<void(const CompilerProcess&)>& start)
{
    const DefinitionDocument& doc = session.document();
    if (settings.compilerPath().isEmpty() && settings.compilerDistrusted())
        throw MessageError(kDistrustedCompilerMessage);
    if (settings.compilerPath().isEmpty())
        throw MessageError("No Compiler selected, select one from the options screen!");
    if (doc.currentFile().empty())
        throw MessageError("Ini not saved or no ini opened!");

    const std::string file = doc.currentFile();
    session.save();

    const QString compiler = settings.compilerPath();
    const CompilerProcess process = ComposeCompilerProcess(compiler, FileNameText(file), NeedsWine(compiler));
    try {
        start(process);
    } catch (const MessageError& e) {
        throw MessageError("Cannot start the compiler '" + compiler.toLatin1().toStdString() + "': " + e.what());
    }
}

}  // namespace qel::app
