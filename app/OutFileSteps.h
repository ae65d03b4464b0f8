#pragma once
// Steps on the out-file name.

#include <optional>
#include <string>

#include "app/SessionStep.h"

namespace qel::app {

// Stores the out-file edit's whole text. Consecutive stores merge into one
// step (while nothing else happens between them), and typing back to the
// text before them leaves no step.
class SetOutFileStep : public SessionStep {
public:
    SetOutFileStep(DocumentSession& session, std::string text);

    int id() const override { return kOutFileEdit; }
    bool mergeWith(const QUndoCommand* other) override;
    std::size_t keptBytes() const override { return before_ ? before_->capacity() : 0; }

protected:
    void apply() override;
    void revert() override;
    void releaseHistory() override { before_.reset(); }

private:
    std::string text_;
    std::optional<std::string> before_;
};

}  // namespace qel::app
