#pragma once
// The system clipboard as plain text: what Copy leaves there for any program
// to paste, and what Paste takes from it.

#include <QString>

namespace qel::platform {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // The clipboard's plain text; empty when it holds none.
    virtual QString text() const = 0;
    virtual void setText(const QString& text) = 0;
};

// The desktop's clipboard.
class QtClipboard : public Clipboard {
public:
    QString text() const override;
    void setText(const QString& text) override;
};

}  // namespace qel::platform
