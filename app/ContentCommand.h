#pragma once
// A step over the parts of the document that it names: it keeps those parts
// as they were before its first apply, and redoes by running its change
// again on the document as it was then. Small parts (out file, files,
// images) are kept as copies; object lists as saved states, which share
// their line bytes with the document.
//
// Steps with the same merge key (not -1) that follow each other merge into
// one (consecutive keystrokes in one edit): the first one's "before" stays,
// the last one's change is kept.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "SessionCommand.h"

namespace qel::app {

enum ContentPart : unsigned {
    kOutFilePart = 1,
    kFilesPart = 2,
    kImagesPart = 4,
    kMapObjectsPart = 8,
    kScreenObjectsPart = 16,
    kObjectParts = kMapObjectsPart | kScreenObjectsPart,
};

class ContentCommand : public SessionCommand {
public:
    using Change = std::function<void(DefinitionDocument&)>;

    ContentCommand(DocumentSession& session, const QString& text, unsigned parts, Change change, int mergeKey = -1);

    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;
    std::size_t keptBytes() const override;

protected:
    void apply() override;
    void revert() override;
    void releaseHistory() override;

private:
    void notify();
    std::size_t countKeptBytes() const;

    unsigned parts_;
    Change change_;
    int mergeKey_;
    bool saved_ = false;
    std::size_t keptBytes_ = 0;
    std::string outFile_;
    std::vector<std::string> files_;
    std::vector<ObjectImage> images_;
    std::optional<ObjectList::State> map_;
    std::optional<ObjectList::State> screen_;
};

}  // namespace qel::app
