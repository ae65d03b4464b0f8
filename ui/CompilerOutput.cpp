#include "ui/CompilerOutput.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

#include "app/CompilerRun.h"
#include "ui/Latin1Text.h"

namespace qel::ui {

class CompilerOutputWindow : public QWidget {
public:
    CompilerOutputWindow(app::CompilerRun& run, QWidget& parent) : QWidget(&parent, Qt::Window), run_(run)
    {
        setObjectName(QStringLiteral("CompilerOutput"));
        batch_.setSingleShot(true);
        batch_.setInterval(50);
        connect(&batch_, &QTimer::timeout, this, [this] { flush(); });
        resize(640, 400);
        auto* layout = new QVBoxLayout(this);
        command_ = PlainLabel(QStringLiteral("CompilerCommand"));
        log_ = PlainLabel(QStringLiteral("CompilerLog"));
        text_ = new QPlainTextEdit(this);
        text_->setObjectName(QStringLiteral("CompilerText"));
        text_->setReadOnly(true);
        // What was taken off the front must really go, not wait in a history.
        text_->setUndoRedoEnabled(false);
        text_->setLineWrapMode(QPlainTextEdit::NoWrap);
        text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        end_ = PlainLabel(QStringLiteral("CompilerEnd"));
        stop_ = new QPushButton(QStringLiteral("&Stop"), this);
        stop_->setObjectName(QStringLiteral("StopCompiler"));
        layout->addWidget(command_);
        layout->addWidget(log_);
        layout->addWidget(text_, 1);
        layout->addWidget(end_);
        layout->addWidget(stop_, 0, Qt::AlignRight);
        connect(stop_, &QPushButton::clicked, &run_, &app::CompilerRun::stop);
        connect(&run_, &app::CompilerRun::started, this, [this] { follow(); });
        connect(&run_, &app::CompilerRun::ended, this, [this] {
            flush();
            end_->setText(run_.end());
            stop_->setEnabled(false);
        });
        connect(&run_, &app::CompilerRun::outputAdded, this, [this] {
            if (!batch_.isActive())
                batch_.start();
        });
        follow();
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        hide();
        event->ignore();
    }

private:
    QLabel* PlainLabel(const QString& name)
    {
        auto* label = new QLabel(this);
        label->setObjectName(name);
        // File names and the system's reasons are never markup.
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setWordWrap(true);
        return label;
    }

    // The whole run afresh.
    void follow()
    {
        batch_.stop();
        setWindowTitle(QStringLiteral("Compiler Output - ") + run_.name());
        command_->setText(run_.commandLine());
        log_->setText(run_.logFile().isEmpty() ? QString() : QStringLiteral("Log: ") + run_.logFile());
        end_->setText(run_.end());
        stop_->setEnabled(run_.running());
        showAll();
    }

    void showAll()
    {
        header_ = run_.droppedLine();
        const QString body = FromBytes(run_.output());
        text_->setPlainText(header_.isEmpty() ? body : header_ + QLatin1Char('\n') + body);
        shownStart_ = run_.outputStart();
        shownEnd_ = run_.outputEnd();
        text_->moveCursor(QTextCursor::End);
    }

    // Follows the run's kept text position for position: Latin-1 makes one
    // character of each byte, line ends included. Output is shown in
    // batches: each change to the text costs the same whatever its size.
    void flush()
    {
        batch_.stop();
        const std::uint64_t start = run_.outputStart();
        const std::uint64_t end = run_.outputEnd();
        // Nothing shown is kept any more, or the line above it comes first.
        if (start >= shownEnd_ || start < shownStart_ || (header_.isEmpty() && start > 0)) {
            showAll();
            return;
        }
        QTextCursor cursor(text_->document());
        cursor.beginEditBlock();
        const int headerLength = header_.isEmpty() ? 0 : static_cast<int>(header_.size()) + 1;
        if (start > shownStart_) {
            cursor.setPosition(headerLength);
            cursor.setPosition(headerLength + static_cast<int>(start - shownStart_), QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            header_ = run_.droppedLine();
            cursor.setPosition(0);
            cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            cursor.insertText(header_);
        }
        const std::string_view added = run_.output().substr(static_cast<std::size_t>(shownEnd_ - start));
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(FromBytes(added));
        cursor.endEditBlock();
        shownStart_ = start;
        shownEnd_ = end;
        text_->moveCursor(QTextCursor::End);
    }

    app::CompilerRun& run_;
    QTimer batch_;
    // What the text holds: the line about dropped output, then the run's
    // bytes from `shownStart_` to `shownEnd_`.
    QString header_;
    std::uint64_t shownStart_ = 0;
    std::uint64_t shownEnd_ = 0;
    QLabel* command_;
    QLabel* log_;
    QPlainTextEdit* text_;
    QLabel* end_;
    QPushButton* stop_;
};

CompilerOutput::CompilerOutput(qel::platform::ProcessLauncher& launcher, const QString& logFolder,
                               std::function<void(const QString&)> tell, QWidget& window)
    : QObject(&window)
{
    run_ = new app::CompilerRun(launcher, this);
    logFolder_ = logFolder;
    window_ = new CompilerOutputWindow(*run_, window);
    entry_ = new QAction(QStringLiteral("Compiler Output"), this);
    entry_->setObjectName(QStringLiteral("CompilerOutput1"));
    connect(entry_, &QAction::triggered, this, &CompilerOutput::show);
    connect(run_, &app::CompilerRun::ended, this, [this, tell = std::move(tell)] { tell(run_->summary()); });
}

CompilerOutput::~CompilerOutput() = default;

void CompilerOutput::start(const qel::app::CompilerProcess& process, const QString& name, const std::string& definition)
{
    show();
    QDir().mkpath(logFolder_);
    run_->start(process, name, app::CompilerLogPath(logFolder_, definition));
}

bool CompilerOutput::running() const
{
    return run_->running();
}

void CompilerOutput::show()
{
    window_->show();
    window_->raise();
}

}  // namespace qel::ui
