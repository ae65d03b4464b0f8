#include "ui/CommandLine.h"

#include <QFile>
#include <QFileInfo>

#ifndef QEL_VERSION
#error "QEL_VERSION must name the program's version"
#endif

namespace qel::ui {

namespace {

const QString kHelp = QStringLiteral(
    "Usage: qel [FILE]\n"
    "Edits the object-definition file FILE (a .ini file), or a new one when no\n"
    "FILE is given.\n"
    "\n"
    "Options:\n"
    "  -h, --help     print this help and exit\n"
    "  -v, --version  print the version and exit\n"
    "  --             end of options: the next word is FILE even if it starts with -\n"
    "\n"
    "A FILE that cannot be read is reported in the window, as File, Open does.\n");

CommandLine Failure(const QString& reason)
{
    return {CommandLine::Action::Fail, {}, QStringLiteral("qel: %1 (try 'qel --help')\n").arg(reason)};
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments)
{
    QStringList files;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (optionsEnded || !argument.startsWith(QLatin1Char('-'))) {
            files << argument;
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            return {CommandLine::Action::Print, {}, kHelp};
        } else if (argument == QLatin1String("-v") || argument == QLatin1String("--version")) {
            return {CommandLine::Action::Print, {}, QStringLiteral("qel " QEL_VERSION "\n")};
        } else {
            return Failure(QStringLiteral("unknown option '%1'").arg(argument));
        }
    }
    if (files.isEmpty())
        return {};
    if (files.size() > 1)
        return Failure(QStringLiteral("one file at a time; got %1").arg(files.size()));
    const QFileInfo file(files.front());
    if (files.front().isEmpty())
        return Failure(QStringLiteral("the file name is empty"));
    // Open's dialog never returns a folder; a missing file, though, is read
    // and fails in the window, as it would there.
    if (file.isDir())
        return Failure(QStringLiteral("'%1' is a folder, not a definition file").arg(files.front()));
    return {CommandLine::Action::Start, file.absoluteFilePath(), {}};
}

QStringList ArgumentsOf(int argc, const char* const* argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QFile::decodeName(argv[i]);
    return arguments;
}

}  // namespace qel::ui
