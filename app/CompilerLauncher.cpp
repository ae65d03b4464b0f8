#include "app/CompilerLauncher.h"

#include <QCryptographicHash>
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

QString CompilerLogPath(const QString& folder, const std::string& definition)
{
    // The name tells the user which definition; the hash of the whole path
    // keeps two definitions of one name apart.
    const QString name = QFileInfo(FileNameText(definition)).completeBaseName();
    const QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(definition), QCryptographicHash::Sha1);
    return folder + QLatin1Char('/') + name + QLatin1Char('-') + QString::fromLatin1(hash.toHex().left(8))
           + QStringLiteral(".log");
}

void CheckCompileReady(const DefinitionDocument& doc, const AppSettings& settings)
{
    if (settings.compilerPath().isEmpty() && settings.compilerDistrusted())
        throw MessageError(kDistrustedCompilerMessage);
    if (settings.compilerPath().isEmpty())
        throw MessageError("No Compiler selected, select one from the options screen!");
    if (doc.currentFile().empty())
        throw MessageError("Ini not saved or no ini opened!");
}

void StartCompiler(const DefinitionDocument& doc, const AppSettings& settings,
                   const std::function<void(const CompilerProcess&)>& start)
{
    const QString compiler = settings.compilerPath();
    const CompilerProcess process =
        ComposeCompilerProcess(compiler, FileNameText(doc.currentFile()), NeedsWine(compiler));
    try {
        start(process);
    } catch (const MessageError& e) {
        throw MessageError("Cannot start the compiler '" + compiler.toLatin1().toStdString() + "': " + e.what());
    }
}

}  // namespace qel::app
