#pragma once
// The editor's own icon, for its windows and task bar entries.

#include <QIcon>

namespace qel::ui {

// The installed theme icon when the desktop has it, else the built-in copy.
QIcon ApplicationIcon();

}  // namespace qel::ui
