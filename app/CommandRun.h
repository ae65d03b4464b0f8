#pragma once
// How a command's status comes about, for the commands' own files.

#include <exception>

#include "app/CommandQuestions.h"

namespace qel::app {

// Runs a command whose parts throw on failure and tell whether it went on
// (false: the user cancelled it).
template <class Command>
CommandStatus RunCommand(Command&& command)
{
    CommandStatus status;
    try {
        if (!command())
            status.outcome = CommandStatus::Outcome::Cancelled;
    } catch (...) {
        status.outcome = CommandStatus::Outcome::Failed;
        status.failure = std::current_exception();
    }
    return status;
}

}  // namespace qel::app
