// qeltool: reads, checks and rewrites definition files without the editor's
// window, with the same reader and writer the editor uses.

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/DefinitionDocument.h"
#include "core/DefinitionReader.h"
#include "core/DefinitionWriter.h"
#include "core/EntryLine.h"
#include "core/Errors.h"
#include "core/PathText.h"
#include "core/ProblemCheck.h"
#include "core/io/DefinitionFiles.h"
#include "core/io/FileIo.h"
#include "tools/qeltool/CheckDisk.h"
#include "tools/qeltool/Json.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr const char* kMainHelp =
    "Usage: qeltool VERB [ARGS]\n"
    "       qeltool --version\n"
    "Reads, checks and rewrites object-definition files (.ini) with the editor's\n"
    "own reader and writer.\n"
    "\n"
    "Verbs:\n"
    "  dump FILE            print the document as the editor reads it, as JSON\n"
    "  format FILE [-o OUT] rewrite FILE (or write OUT) in the editor's layout\n"
    "  check FILE...        report the problems of each file: what does not read,\n"
    "                       pictures and files that are missing or unreadable,\n"
    "                       images nobody defined (- reads standard input)\n"
    "\n"
    "Run 'qeltool VERB --help' for the details of a verb.\n"
    "Exit status: 0 success, 1 a file failed to read or write, 2 usage error.\n";

constexpr const char* kDumpHelp =
    "Usage: qeltool dump FILE\n"
    "Prints the document read from FILE as one JSON object:\n"
    "  outFile        text\n"
    "  files          array of texts\n"
    "  images         array of {number, file, xTiles, yTiles, aniTime}\n"
    "  mapObjects,\n"
    "  screenObjects  arrays of {line, x, y, image, layer, mode, displayTime,\n"
    "                 objectId}; line, x and y are texts, the others numbers\n"
    "                 (-1 where the line has no such field)\n"
    "  error          the message of the failure that stopped reading, or null\n"
    "  errorLine      the 1-based line where reading stopped, or null (also null\n"
    "                 when the file could not be opened)\n"
    "Texts show each byte as the character of the same code (Latin-1).\n"
    "When reading stops at an entry line that cannot be taken apart, that line is\n"
    "still listed with its text, and x, y and every number of it are null.\n"
    "What was read before a failure is printed too.\n"
    "Exit status: 0 when the file read cleanly, 1 otherwise, 2 usage error.\n";

constexpr const char* kFormatHelp =
    "Usage: qeltool format FILE [-o OUT] [--drop-ignored]\n"
    "Reads FILE and writes it in the editor's layout to OUT, or back to FILE\n"
    "when no -o is given. The target is replaced only once it is completely\n"
    "written. When FILE does not read cleanly nothing is written and the failure\n"
    "is reported on standard error as FILE:LINE: message (FILE: message when the\n"
    "file cannot be opened).\n"
    "Lines that are not part of the definition (see 'qeltool check --help') would\n"
    "be lost: nothing is written unless --drop-ignored is given.\n"
    "FILE is rewritten only when it is a regular file; OUT may also be a pipe or\n"
    "a device (such as /dev/stdout).\n"
    "Exit status: 0 written, 1 read or write failed, 2 usage error.\n";

constexpr const char* kCheckHelp =
    "Usage: qeltool check [--strict] [--all] [--json] FILE...\n"
    "Reads each FILE (- for standard input), checks it against the pictures and\n"
    "files it names (looked for in FILE's folder; an absolute name as it stands)\n"
    "and prints each problem on standard output, in line order:\n"
    "  FILE:LINE: SEVERITY: MESSAGE [CODE]\n"
    "(FILE: SEVERITY: MESSAGE [CODE] for a problem of the whole file).\n"
    "SEVERITY is error, warning or info; info is printed only with --all.\n"
    "Codes:\n"
    "  read-failed             error    the file cannot be read; checked up to there\n"
    "  object-unreadable       error    an entry line that cannot be taken apart\n"
    "  file-missing            error    a File entry names no existing file\n"
    "  file-duplicate          warning  the same File entry again\n"
    "  image-duplicate         error    an image number defined again\n"
    "  image-no-file           error    an image with an empty picture file\n"
    "  image-file-missing      error    an image whose picture does not exist\n"
    "  image-unreadable        error    a picture that cannot be decoded\n"
    "  image-file-unlisted     warning  a picture not in the File entries\n"
    "  image-tiles-uneven      warning  tile counts that do not divide the picture\n"
    "  image-unused            info     no object uses the image\n"
    "  object-image-undefined  error    an object whose image no image defines\n"
    "  object-off-map          warning  a map object outside 0 to 16384\n"
    "  outfile-missing         warning  no OutFile given\n"
    "  ignored-line            warning  a line outside every section that a save\n"
    "                                   drops (not a comment, key or blank line),\n"
    "                                   or text after a section header\n"
    "  comment-dropped         info     comment lines, which a save does not keep\n"
    "  save-interrupted        warning  a save of FILE stopped half way; the\n"
    "                                   message names the copy of its old content\n"
    "With --json the problems are printed as one JSON array of objects with\n"
    "file, line (null for the whole file), severity, code and message.\n"
    "Texts show NUL bytes as \\0 and other control bytes as \\xHH (in JSON, each\n"
    "byte as the Latin-1 character of its code).\n"
    "A named FILE must be a regular file; a FIFO or a device is refused at once.\n"
    "Exit status: 0 when no file has an error (nor, with --strict, a warning),\n"
    "1 otherwise, 2 usage error.\n";

constexpr const char* kStandardInputName = "(standard input)";

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "qeltool: %s (try 'qeltool --help')\n", message.c_str());
    return kExitUsage;
}

int Help(const char* text)
{
    std::fputs(text, stdout);
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailed;
}

bool IsHelp(std::string_view arg)
{
    return arg == "--help" || arg == "-h";
}

// The bytes of a file's text as a terminal line: NUL as \0 and the other
// control bytes but tab as \xHH, so a message neither ends early nor drives
// the terminal.
std::string TerminalText(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0) {
            text += "\\0";
        } else if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0x0F];
        } else {
            text += c;
        }
    }
    return text;
}

// "FILE:LINE: message", or "FILE: message" for a failure tied to no line.
std::string Located(const std::string& file, const qel::Error& error)
{
    std::string text = file;
    text += ':';
    if (error.line() != 0) {
        text += std::to_string(error.line());
        text += ':';
    }
    text += ' ';
    text += error.message();
    return TerminalText(text) + '\n';
}

// Tells of the copy of old bytes that an interrupted save of `file` left: the
// file itself may be incomplete. True when there is one. A verb that only
// reads leaves the copies of settled saves where they are.
bool WarnOfInterruptedSave(const std::string& file, std::FILE* out, qel::SettledSaves settled)
{
    const std::optional<std::string> copy = qel::FindInterruptedSave(file, settled);
    if (!copy)
        return false;
    const std::string text =
        file + ": warning: a save of " + file + " was interrupted; its previous content is in " + *copy;
    std::fputs((TerminalText(text) + '\n').c_str(), out);
    return true;
}

struct Options {
    std::vector<std::string> operands;
    std::optional<std::string> outPath;
    bool strict = false;
    bool dropIgnored = false;
    bool all = false;
    bool json = false;
};

// Splits a verb's arguments into operands and the options in `allowed`; "--"
// ends the options, so a file whose name starts with "-" can still be named.
// Returns a usage error text, if any.
std::optional<std::string> ParseArgs(const std::vector<std::string_view>& args,
                                     std::initializer_list<std::string_view> allowed, Options& options)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && std::find(allowed.begin(), allowed.end(), arg) != allowed.end()) {
            if (arg == "--strict") {
                options.strict = true;
            } else if (arg == "--all") {
                options.all = true;
            } else if (arg == "--json") {
                options.json = true;
            } else if (arg == "--drop-ignored") {
                options.dropIgnored = true;
            } else {
                if (i + 1 >= args.size())
                    return std::string("option -o needs a file name");
                if (options.outPath)
                    return std::string("option -o given twice");
                options.outPath = std::string(args[++i]);
            }
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return "unknown option '" + std::string(arg) + "'";
        } else {
            options.operands.emplace_back(arg);
        }
    }
    return std::nullopt;
}

void DumpObjects(qeltool::JsonStream& json, const qel::ObjectList& list)
{
    const bool map = list.kind() == qel::ObjectKind::Map;
    for (std::size_t row = 0; row < list.size(); ++row) {
        json.raw(row == 0 ? "\n{\"line\":" : ",\n{\"line\":").string(list.line(row));
        if (!list.hasFields(row)) {
            // Reading stopped at (or before) this line: it has no fields, and
            // printing whatever the slot holds would show values never read.
            json.raw(
                ",\"x\":null,\"y\":null,\"image\":null,\"layer\":null,\"mode\":null,"
                "\"displayTime\":null,\"objectId\":null}");
            continue;
        }
        const qel::ObjectFields& fields = list.fields(row);
        json.raw(",\"x\":");
        if (map) {
            // The decimal text of the number, as a JSON text.
            json.raw("\"").number(fields.x).raw("\",\"y\":\"").number(fields.y).raw("\"");
        } else {
            std::string_view text;
            json.string(qel::FindField(list.line(row), 0, text) ? text : std::string_view("-1"));
            json.raw(",\"y\":");
            json.string(qel::FindField(list.line(row), 1, text) ? text : std::string_view("-1"));
        }
        json.raw(",\"image\":").number(fields.image);
        json.raw(",\"layer\":").number(fields.layer);
        json.raw(",\"mode\":").number(fields.mode);
        json.raw(",\"displayTime\":").number(fields.displayTime);
        json.raw(",\"objectId\":").number(fields.objectId);
        json.raw("}");
    }
    json.raw(list.empty() ? "]" : "\n]");
}

int Dump(const std::vector<std::string_view>& args)
{
    Options options;
    if (auto problem = ParseArgs(args, {}, options))
        return UsageError("dump: " + *problem);
    const std::vector<std::string>& operands = options.operands;
    if (operands.size() != 1)
        return UsageError(operands.empty() ? "dump: missing FILE" : "dump: takes one FILE");

    WarnOfInterruptedSave(operands[0], stderr, qel::SettledSaves::Leave);
    qel::DefinitionDocument doc;
    std::optional<std::string> error;
    std::size_t errorLine = 0;
    try {
        qel::ReadDefinition(doc, operands[0]);
    } catch (const qel::Error& failure) {
        error = failure.message();
        errorLine = failure.line();
    }

    qeltool::JsonStream json(stdout);
    json.raw("{\"outFile\":").string(doc.outFile());
    json.raw(",\n\"files\":[");
    for (std::size_t i = 0; i < doc.files().size(); ++i) {
        if (i != 0)
            json.raw(",");
        json.string(doc.files()[i]);
    }
    json.raw("],\n\"images\":[");
    for (std::size_t i = 0; i < doc.images().size(); ++i) {
        const qel::ObjectImage& image = doc.images()[i];
        json.raw(i == 0 ? "\n{\"number\":" : ",\n{\"number\":").number(image.number);
        json.raw(",\"file\":").string(image.file);
        json.raw(",\"xTiles\":").number(image.xTiles);
        json.raw(",\"yTiles\":").number(image.yTiles);
        json.raw(",\"aniTime\":").number(image.aniTime);
        json.raw("}");
    }
    json.raw(doc.images().empty() ? "]" : "\n]");
    json.raw(",\n\"mapObjects\":[");
    DumpObjects(json, doc.mapObjects());
    json.raw(",\n\"screenObjects\":[");
    DumpObjects(json, doc.screenObjects());
    json.raw(",\n\"error\":");
    if (error)
        json.string(*error);
    else
        json.null();
    json.raw(",\n\"errorLine\":");
    if (error && errorLine != 0)
        json.number(static_cast<std::int64_t>(errorLine));
    else
        json.null();
    json.raw("}\n");
    if (!json.flush()) {
        std::fprintf(stderr, "qeltool: dump: cannot write the output: %s\n", std::strerror(errno));
        return kExitFailed;
    }
    return error ? kExitFailed : kExitOk;
}

int Format(const std::vector<std::string_view>& args)
{
    Options options;
    if (auto problem = ParseArgs(args, {"-o", "--drop-ignored"}, options))
        return UsageError("format: " + *problem);
    const std::vector<std::string>& operands = options.operands;
    if (operands.size() != 1)
        return UsageError(operands.empty() ? "format: missing FILE" : "format: takes one FILE");
    const std::string& source = operands[0];
    const std::string& target = options.outPath ? *options.outPath : source;
    WarnOfInterruptedSave(source, stderr, qel::SettledSaves::Remove);

    qel::DefinitionDocument doc;
    qel::ReadReport report;
    try {
        qel::ReadDefinition(doc, source, &report);
    } catch (const qel::Error& failure) {
        std::fputs(Located(source, failure).c_str(), stderr);
        return kExitFailed;
    }
    if (report.ignoredLines != 0 && !options.dropIgnored) {
        const std::string count = std::to_string(report.ignoredLines);
        const std::string text = source + ": would drop " + count
                                 + (report.ignoredLines == 1 ? " ignored line" : " ignored lines") + " (first: line "
                                 + std::to_string(report.firstIgnoredLine) + "); give --drop-ignored to drop them";
        std::fputs((TerminalText(text) + '\n').c_str(), stderr);
        return kExitFailed;
    }
    try {
        // An output named with -o may be a pipe or a device (standard
        // output, say); the file that was read is rewritten only as a file.
        qel::WriteDefinition(doc, target,
                             options.outPath ? qel::SpecialFiles::WriteThrough : qel::SpecialFiles::Refuse);
    } catch (const qel::Error& failure) {
        std::fputs((TerminalText(target + ": " + failure.message()) + '\n').c_str(), stderr);
        return kExitFailed;
    }
    return kExitOk;
}

// The problems of one file read from disk (or standard input), in line
// order, whole-file problems first, errors first within a line.
std::vector<qel::Problem> CheckOneFile(const std::string& operand, const std::string& file, bool standardInput)
{
    qel::SourceLines lines;
    qel::ReadReport report;
    report.lines = &lines;
    qel::DefinitionDocument doc;
    std::optional<qel::Error> failure;
    try {
        if (standardInput)
            qel::ReadDefinitionFrom(doc, STDIN_FILENO, file, &report);
        else
            qel::ReadDefinition(doc, operand, &report);
    } catch (const qel::Error& error) {
        failure = error;
    }
    doc.setDocumentFolder(standardInput ? std::string() : qel::FolderPart(operand));
    qeltool::CheckDisk disk;
    qel::CheckOptions checkOptions;
    checkOptions.readFailure = failure ? &*failure : nullptr;
    std::vector<qel::Problem> problems = qel::CheckDocument(doc, disk, &lines, checkOptions);
    if (!standardInput) {
        if (const std::optional<std::string> copy = qel::FindInterruptedSave(operand, qel::SettledSaves::Leave)) {
            qel::Problem interrupted;
            interrupted.severity = qel::Severity::Warning;
            interrupted.code = "save-interrupted";
            interrupted.message = "a save of " + file + " was interrupted; its previous content is in " + *copy;
            problems.push_back(std::move(interrupted));
        }
    }
    std::stable_sort(problems.begin(), problems.end(), [](const qel::Problem& a, const qel::Problem& b) {
        return a.line != b.line ? a.line < b.line : a.severity < b.severity;
    });
    return problems;
}

// "FILE:LINE: SEVERITY: MESSAGE [CODE]", without "LINE:" for the whole file.
std::string ProblemText(const std::string& file, const qel::Problem& problem)
{
    std::string text = file;
    text += ':';
    if (problem.line != 0) {
        text += std::to_string(problem.line);
        text += ':';
    }
    text += ' ';
    text += qel::SeverityName(problem.severity);
    text += ": ";
    text += problem.message;
    text += " [";
    text += problem.code;
    text += ']';
    return TerminalText(text) + '\n';
}

int Check(const std::vector<std::string_view>& args)
{
    Options options;
    if (auto problem = ParseArgs(args, {"--strict", "--all", "--json"}, options))
        return UsageError("check: " + *problem);
    if (options.operands.empty())
        return UsageError("check: missing FILE");

    int status = kExitOk;
    qeltool::JsonStream json(stdout);
    bool firstJson = true;
    if (options.json)
        json.raw("[");
    for (const std::string& operand : options.operands) {
        const bool standardInput = operand == "-";
        const std::string file = standardInput ? std::string(kStandardInputName) : operand;
        for (const qel::Problem& problem : CheckOneFile(operand, file, standardInput)) {
            if (problem.severity == qel::Severity::Error
                || (options.strict && problem.severity == qel::Severity::Warning))
                status = kExitFailed;
            if (problem.severity == qel::Severity::Info && !options.all)
                continue;
            if (!options.json) {
                json.raw(ProblemText(file, problem));
                continue;
            }
            json.raw(firstJson ? "\n{\"file\":" : ",\n{\"file\":").string(file);
            firstJson = false;
            json.raw(",\"line\":");
            if (problem.line != 0)
                json.number(static_cast<std::int64_t>(problem.line));
            else
                json.null();
            json.raw(",\"severity\":").string(qel::SeverityName(problem.severity));
            json.raw(",\"code\":").string(problem.code);
            json.raw(",\"message\":").string(problem.message);
            json.raw("}");
        }
    }
    if (options.json)
        json.raw(firstJson ? "]\n" : "\n]\n");
    if (!json.flush() || std::fflush(stdout) != 0)
        return kExitFailed;
    return status;
}

int Run(int argc, char** argv)
{
    if (argc < 2)
        return UsageError("missing VERB");
    const std::string_view verb = argv[1];
    if (IsHelp(verb))
        return Help(kMainHelp);
    if (verb == "--version")
        return Help("qeltool " QEL_VERSION "\n");
    std::vector<std::string_view> args(argv + 2, argv + argc);
    struct Verb {
        std::string_view name;
        const char* help;
        int (*run)(const std::vector<std::string_view>&);
    };
    static constexpr Verb kVerbs[] = {
        {"dump", kDumpHelp, Dump},
        {"format", kFormatHelp, Format},
        {"check", kCheckHelp, Check},
    };
    for (const Verb& candidate : kVerbs) {
        if (candidate.name != verb)
            continue;
        for (std::string_view arg : args) {
            if (arg == "--")
                break;
            if (IsHelp(arg))
                return Help(candidate.help);
        }
        return candidate.run(args);
    }
    return UsageError("unknown verb '" + std::string(verb) + "'");
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::exception& failure) {
        // Reading reports running out of memory itself; this is for anything
        // else that escapes.
        std::fprintf(stderr, "qeltool: %s\n", failure.what());
        return kExitFailed;
    }
}
