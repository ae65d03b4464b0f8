#include "ui/CompilerOutput.h"

#include <QAction>
#include <QCloseEvent>
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
        command_ = new QLabel(this);
        command_->setObjectName(QStringLiteral("CompilerCommand"));
        // File names and the system's reasons are never markup.
        command_->setTextFormat(Qt::PlainText);
        command_->setTextInteractionFlags(Qt::TextSelectableByMouse);
        command_->setWordWrap(true);
        text_ = new QPlainTextEdit(this);
        text_->setObjectName(QStringLiteral("CompilerText"));
        text_->setReadOnly(true);
        // What was taken off the front must really go, not wait in a history.
        text_->setUndoRedoEnabled(false);
        text_->setLineWrapMode(QPlainTextEdit::NoWrap);
        text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        end_ = new QLabel(this);
        end_->setObjectName(QStringLiteral("CompilerEnd"));
        end_->setTextFormat(Qt::PlainText);
        stop_ = new QPushButton(QStringLiteral("Stop"), this);
        stop_->setObjectName(QStringLiteral("StopCompiler"));
        layout->addWidget(command_);
        layout->addWidget(text_, 1);
        layout->addWidget(end_);
        layout->addWidget(stop_, 0, Qt::AlignRight);
        connect(stop_, &QPushButton::clicked, &run_, &app::CompilerRun::stop);
        connect(&run_, &app::CompilerRun::started, this, [this] { follow(); });
        connect(&run_, &app::CompilerRun::ended, this, [this] { follow(); });
        connect(&run_, &app::CompilerRun::outputAdded, this, &CompilerOutputWindow::add);
        follow();
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        hide();
        event->ignore();
    }

private:
    // The whole run afresh.
    void follow()
    {
        batch_.stop();
        pending_.clear();
        pendingDropped_ = 0;
        setWindowTitle(QStringLiteral("Compiler Output - ") + run_.name());
        command_->setText(run_.commandLine());
        text_->setPlainText(FromBytes(run_.output()));
        end_->setText(run_.end());
        stop_->setEnabled(run_.running());
        text_->moveCursor(QTextCursor::End);
    }

    // Output is shown in batches: each change to the text costs the same
    // whatever its size, and a compiler writes in small pieces.
    void add(const QByteArray& bytes, qsizetype dropped)
    {
        pendingDropped_ += dropped;
        pending_ += bytes;
        if (pending_.size() >= kBatchBytes)
            flush();
        else if (!batch_.isActive())
            batch_.start();
    }

    // Follows the run's kept bytes position for position: Latin-1 makes one
    // character of each byte, line ends included.
    void flush()
    {
        batch_.stop();
        const int shown = text_->document()->characterCount() - 1;
        // Bytes dropped from the front are all shown ones, or the text is
        // made again.
        if (pendingDropped_ >= shown) {
            text_->setPlainText(FromBytes(run_.output()));
        } else {
            QTextCursor cursor(text_->document());
            if (pendingDropped_ > 0) {
                cursor.setPosition(static_cast<int>(pendingDropped_), QTextCursor::KeepAnchor);
                cursor.removeSelectedText();
            }
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(QString::fromLatin1(pending_));
        }
        pending_.clear();
        pendingDropped_ = 0;
        text_->moveCursor(QTextCursor::End);
    }

    static constexpr qsizetype kBatchBytes = 64 * 1024;

    app::CompilerRun& run_;
    QTimer batch_;
    QByteArray pending_;
    qsizetype pendingDropped_ = 0;
    QLabel* command_;
    QPlainTextEdit* text_;
    QLabel* end_;
    QPushButton* stop_;
};

CompilerOutput::CompilerOutput(qel::platform::ProcessLauncher& launcher, std::function<void(const QString&)> tell,
                               QWidget& window)
    : QObject(&window)
{
    run_ = new app::CompilerRun(launcher, this);
    window_ = new CompilerOutputWindow(*run_, window);
    entry_ = new QAction(QStringLiteral("Compiler Output"), this);
    entry_->setObjectName(QStringLiteral("CompilerOutput1"));
    connect(entry_, &QAction::triggered, this, &CompilerOutput::show);
    connect(run_, &app::CompilerRun::ended, this, [this, tell = std::move(tell)] { tell(run_->summary()); });
}

CompilerOutput::~CompilerOutput() = default;

void CompilerOutput::start(const qel::app::CompilerProcess& process, const QString& name)
{
    show();
    run_->start(process, name);
}

void CompilerOutput::show()
{
    window_->show();
    window_->raise();
}

}  // namespace qel::ui
