#pragma once
// A clipboard for tests: a text of its own, never the desktop's.

#include "platform/Clipboard.h"

namespace qel::platform {

class FakeClipboard : public Clipboard {
public:
    QString held;
    QString text() const override { return held; }
    void setText(const QString& text) override { held = text; }
};

}  // namespace qel::platform
