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
}

CompilerRun::~CompilerRun() = default;

void CompilerRun::start(const CompilerProcess& process, const QString& name)
{
    const int run = ++run_;
    process_.reset();
    name_ = name;
    commandLine_ = CommandLineText(process);
    end_.clear();
    summary_.clear();
    output_.clear();
    clock_.start();
    qel::platform::ProcessWatch watch;
    watch.output = [this, run](const QByteArray& bytes) {
        if (run != run_)
            return;
        const std::size_t dropped = output_.append(std::string_view(bytes.constData(), bytes.size()));
        emit outputAdded(bytes, static_cast<qsizetype>(dropped));
    };
    watch.finished = [this, run](int exitCode) {
        if (run == run_)
            finish(exitCode);
    };
    try {
        process_ = launcher_.run(process.program, process.arguments, std::move(watch));
    } catch (const MessageError& e) {
        end_ = QStringLiteral("Could not start: ") + QString::fromLatin1(e.what());
        summary_ = QStringLiteral("Compiler could not start: ") + QString::fromLatin1(e.what());
        emit ended();
        throw;
    }
    emit started();
}

void CompilerRun::stop()
{
    if (process_)
        process_->stop();
}

void CompilerRun::finish(int exitCode)
{
    // The process object is the one calling: it goes once it has returned.
    std::shared_ptr<qel::platform::RunningProcess> gone(process_.release());
    QMetaObject::invokeMethod(
        this, [gone] {}, Qt::QueuedConnection);
    end_ = QStringLiteral("Finished with exit code %1 in %2 s")
               .arg(exitCode)
               .arg(QString::number(static_cast<double>(clock_.elapsed()) / 1000.0, 'f', 1));
    summary_ = QStringLiteral("Compiler finished with exit code %1").arg(exitCode);
    emit ended();
}

}  // namespace qel::app
