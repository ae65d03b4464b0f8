#include "app/CompilerRun.h"

#include "core/Errors.h"

namespace qel::app {

namespace {

QString Quoted(const QString& word)
{
    if (!word.isEmpty() && !word.contains(QLatin1Char(' ')) && !word.contains(QLatin1Char('"')))
        return word;
    QString escaped = word;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

// Read at most this much at a time: a log growing fast is taken in over a
// few turns of the event loop rather than in one long one.
constexpr qint64 kReadPiece = qint64{256} * 1024;

}  // namespace

QString CommandLineText(const CompilerProcess& process)
{
    QString line = Quoted(process.program);
    for (const QString& argument : process.arguments)
        line += QLatin1Char(' ') + Quoted(argument);
    return line;
}

CompilerRun::CompilerRun(qel::platform::ProcessLauncher& launcher, QObject* parent)
    : QObject(parent), launcher_(launcher)
{
    follow_.setInterval(kFollowMs);
    connect(&follow_, &QTimer::timeout, this, &CompilerRun::readLog);
}

CompilerRun::~CompilerRun() = default;

void CompilerRun::start(const CompilerProcess& process, const QString& name, const QString& logFile)
{
    const int run = ++run_;
    if (process_)
        process_->stop();
    process_.reset();
    stopping_ = false;
    follow_.stop();
    log_.close();
    name_ = name;
    commandLine_ = CommandLineText(process);
    logFile_ = logFile;
    end_.clear();
    summary_.clear();
    output_.clear();
    clock_.start();
    // A compiler stopped a moment ago may still write: into the old file,
    // not the new one.
    QFile::remove(logFile);
    qel::platform::ProcessWatch watch;
    watch.finished = [this, run](qel::platform::ProcessEnd how) {
        if (run == run_)
            finish(how);
    };
    try {
        process_ = launcher_.run(process.program, process.arguments, logFile, std::move(watch));
    } catch (const MessageError& e) {
        end_ = QStringLiteral("Could not start: ") + QString::fromLocal8Bit(e.what());
        summary_ = QStringLiteral("Compiler could not start: ") + QString::fromLocal8Bit(e.what());
        emit ended();
        throw;
    }
    log_.setFileName(logFile);
    log_.open(QIODevice::ReadOnly);
    follow_.start();
    emit started();
}

void CompilerRun::stop()
{
    if (!process_)
        return;
    stopping_ = true;
    process_->stop();
}

void CompilerRun::readLog()
{
    if (!log_.isOpen())
        return;
    bool added = false;
    for (;;) {
        const qint64 at = log_.pos();
        const qint64 available = log_.size() - at;
        if (available <= 0)
            break;
        // What could not be kept is not read at all, but for its last byte:
        // it tells whether what is kept starts a line.
        if (available > static_cast<qint64>(kKeptOutput) + 1) {
            const qint64 skipped = available - static_cast<qint64>(kKeptOutput) - 1;
            output_.skip(static_cast<std::uint64_t>(skipped));
            log_.seek(at + skipped);
        }
        const QByteArray bytes = log_.read(kReadPiece);
        if (bytes.isEmpty())
            break;
        output_.append(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        added = true;
        if (bytes.size() < kReadPiece)
            break;
    }
    if (added)
        emit outputAdded();
}

QString CompilerRun::droppedLine() const
{
    const std::uint64_t start = output_.lineStart();
    if (start == 0)
        return {};
    return QStringLiteral("(%1 bytes of earlier output not kept; the whole run is in %2)")
        .arg(QString::number(start), logFile_);
}

QString CompilerRun::seconds() const
{
    return QString::number(static_cast<double>(clock_.elapsed()) / 1000.0, 'f', 1);
}

void CompilerRun::finish(qel::platform::ProcessEnd how)
{
    // The process object is the one calling: it goes once it has returned.
    std::shared_ptr<qel::platform::RunningProcess> gone(process_.release());
    QMetaObject::invokeMethod(
        this, [gone] {}, Qt::QueuedConnection);
    follow_.stop();
    // What was written last.
    readLog();
    if (std::exchange(stopping_, false)) {
        end_ = QStringLiteral("Stopped after %1 s").arg(seconds());
        summary_ = QStringLiteral("Compiler stopped");
    } else if (how.signalled) {
        const QString signal = qel::platform::SignalName(how.code);
        end_ = QStringLiteral("Ended by signal %1 after %2 s").arg(signal, seconds());
        summary_ = QStringLiteral("Compiler ended by signal ") + signal;
    } else {
        end_ = QStringLiteral("Finished with exit code %1 in %2 s").arg(how.code).arg(seconds());
        summary_ = QStringLiteral("Compiler finished with exit code %1").arg(how.code);
    }
    emit ended();
}

}  // namespace qel::app
