#include "CompilerOutput.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include "CompilerRun.h"
#include "Latin1Text.h"

namespace qel::ui {

class CompilerOutputWindow : public QWidget {
public:
    CompilerOutputWindow(app::CompilerRun& run, QWidget& parent) : QWidget(&parent, Qt::Window), run_(run)
    {
        setObjectName(QStringLiteral("CompilerOutput"));
        resize(640, 400);
        auto* layout = new QVBoxLayout(this);
        command_ = new QLabel(this);
        command_->setObjectName(QStringLiteral("CompilerCommand"));
        command_->setTextInteractionFlags(Qt::TextSelectableByMouse);
        command_->setWordWrap(true);
        text_ = new QPlainTextEdit(this);
        text_->setObjectName(QStringLiteral("CompilerText"));
        text_->setReadOnly(true);
        text_->setLineWrapMode(QPlainTextEdit::NoWrap);
        text_->setFont(QFont(QStringLiteral("monospace")));
        end_ = new QLabel(this);
        end_->setObjectName(QStringLiteral("CompilerEnd"));
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
        setWindowTitle(QStringLiteral("Compiler Output - ") + run_.name());
        command_->setText(run_.commandLine());
        text_->setPlainText(FromBytes(run_.output()));
        end_->setText(run_.end());
        stop_->setEnabled(run_.running());
        text_->moveCursor(QTextCursor::End);
    }

    // Follows the run's kept bytes position for position: Latin-1 makes one
    // character of each byte, line ends included.
    void add(const QByteArray& bytes, qsizetype dropped)
    {
        const int shown = text_->document()->characterCount() - 1;
        if (dropped >= shown) {
            text_->setPlainText(FromBytes(run_.output()));
        } else {
            QTextCursor cursor(text_->document());
            if (dropped > 0) {
                cursor.setPosition(static_cast<int>(dropped), QTextCursor::KeepAnchor);
                cursor.removeSelectedText();
            }
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(QString::fromLatin1(bytes));
        }
        text_->moveCursor(QTextCursor::End);
    }

    app::CompilerRun& run_;
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
    connect(run_, &app::CompilerRun::ended, this, [this, tell = std::move(tell)] {
        tell(run_->summary());
    });
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
