#pragma once
// The current file read again after another program changed it, as one step:
// the whole content (out file, files, images, both object lists) is swapped
// for what was read, and back on undo. The step holds whichever content is
// not shown: the one before it while it is done, the one read while undone.
//
// Views: the shown list stays, and so do the selected and current rows that
// still exist in the content read.

#include "app/SessionStep.h"
#include "core/DefinitionDocument.h"

namespace qel::app {

// True when `a` and `b` hold the same out file, files, images and lines.
bool SameContent(const DefinitionDocument& a, const DefinitionDocument& b);

class RereadStep : public SessionStep {
public:
    // `read` is the content read; its document state is not used.
    RereadStep(DocumentSession& session, DefinitionDocument read);

protected:
    void apply() override;
    void revert() override;
    std::size_t keptBytes() const override;
    void releaseHistory() override;

private:
    void swapContent();

    DefinitionDocument other_;
};

}  // namespace qel::app
