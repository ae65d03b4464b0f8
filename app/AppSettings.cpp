#include "app/AppSettings.h"

#include "core/Errors.h"

namespace qel::app {

using qel::platform::StoredValue;

namespace {

const QString kCompiler = QStringLiteral("Compiler");
const QString kCollect = QStringLiteral("Collect");

std::string FailedToSet(const QString& name)
{
    return "Failed to set data for '" + name.toStdString() + "'";
}

}  // namespace

AppSettings::AppSettings(qel::platform::SettingsStore& store) : store_(store) {}

std::vector<std::string> AppSettings::load()
{
    std::vector<std::string> messages;
    compilerPath_.clear();
    collectFiles_ = false;
    distrusted_ = false;

    QString compiler;
    switch (store_.readString(kCompiler, compiler)) {
    case StoredValue::Present:
        distrusted_ = !compiler.isEmpty() && store_.writableByOthers();
        if (!distrusted_)
            compilerPath_ = compiler;
        break;
    case StoredValue::Missing:
        break;
    case StoredValue::WrongType:
        // Loading stops here: no compiler, and collecting stays off.
        messages.push_back("Invalid data type for '" + kCompiler.toStdString() + "'");
        return messages;
    }

    qint32 collect = 0;
    if (store_.readInteger(kCollect, collect) == StoredValue::Present) {
        collectFiles_ = collect != 0;
    } else if (store_.writeInteger(kCollect, 1)) {
        collectFiles_ = true;
    } else {
        messages.push_back(FailedToSet(kCollect));
    }
    return messages;
}

void AppSettings::setCompilerPathAndStore(const QString& path)
{
    compilerPath_ = path;
    if (!store_.writeString(kCompiler, path))
        throw MessageError(FailedToSet(kCompiler));
    // Chosen by the user just now, and stored as theirs alone.
    distrusted_ = false;
}

}  // namespace qel::app
