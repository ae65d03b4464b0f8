#include "ContentCommand.h"

namespace qel::app {

namespace {
constexpr int kContentCommandId = 0x51454C;

std::size_t TextBytes(const std::vector<std::string>& texts)
{
    std::size_t bytes = texts.capacity() * sizeof(std::string);
    for (const std::string& text : texts)
        bytes += text.capacity();
    return bytes;
}
}  // namespace

ContentCommand::ContentCommand(DocumentSession& session, const QString& text, unsigned parts, Change change,
                               int mergeKey)
    : SessionCommand(session, text), parts_(parts), change_(std::move(change)), mergeKey_(mergeKey)
{
}

int ContentCommand::id() const
{
    return mergeKey_ == -1 ? -1 : kContentCommandId;
}

bool ContentCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = dynamic_cast<const ContentCommand*>(other);
    if (!next || next->mergeKey_ != mergeKey_ || next->parts_ != parts_)
        return false;
    change_ = next->change_;
    // Typed back to what it was: no step at all.
    const DefinitionDocument& doc = session().document();
    bool same = true;
    if (parts_ & kOutFilePart)
        same = same && doc.outFile() == outFile_;
    if (parts_ & kFilesPart)
        same = same && doc.files() == files_;
    if (parts_ & kImagesPart)
        same = same && doc.images() == images_;
    if (parts_ & kObjectParts)
        same = false;
    setObsolete(same);
    return true;
}

std::size_t ContentCommand::keptBytes() const
{
    return keptBytes_;
}

std::size_t ContentCommand::countKeptBytes() const
{
    std::size_t bytes = outFile_.capacity() + TextBytes(files_);
    for (const ObjectImage& image : images_)
        bytes += sizeof(ObjectImage) + image.file.capacity();
    if (map_)
        bytes += map_->bytes();
    if (screen_)
        bytes += screen_->bytes();
    return bytes;
}

void ContentCommand::apply()
{
    DefinitionDocument& d = doc();
    if (!saved_) {
        saved_ = true;
        if (parts_ & kOutFilePart)
            outFile_ = d.outFile();
        if (parts_ & kFilesPart)
            files_ = d.files();
        if (parts_ & kImagesPart)
            images_ = d.images();
        if (parts_ & kMapObjectsPart)
            map_ = d.mapObjects().saveState();
        if (parts_ & kScreenObjectsPart)
            screen_ = d.screenObjects().saveState();
        // What is kept never changes afterwards: counted once, not at every
        // push of a long history.
        keptBytes_ = countKeptBytes();
    }
    try {
        change_(d);
    } catch (...) {
        notify();
        throw;
    }
    notify();
}

void ContentCommand::revert()
{
    DefinitionDocument& d = doc();
    if (parts_ & kOutFilePart)
        d.setOutFile(outFile_);
    if ((parts_ & kFilesPart) && d.files() != files_)
        d.editFiles() = files_;
    if ((parts_ & kImagesPart) && d.images() != images_)
        d.editImages() = images_;
    if (map_)
        d.mapObjects().restoreState(*map_);
    if (screen_)
        d.screenObjects().restoreState(*screen_);
    notify();
}

void ContentCommand::releaseHistory()
{
    keptBytes_ = 0;
    files_ = {};
    images_ = {};
    outFile_ = {};
    map_.reset();
    screen_.reset();
}

void ContentCommand::notify()
{
    DocumentSession& s = session();
    if (parts_ & kOutFilePart)
        s.notifyOutFileChanged();
    if (parts_ & kFilesPart)
        s.notifyListReset(DocumentList::Files);
    if (parts_ & kImagesPart)
        s.notifyImagesChanged();
    if (parts_ & kMapObjectsPart)
        s.notifyListReset(DocumentList::MapObjects);
    if (parts_ & kScreenObjectsPart)
        s.notifyListReset(DocumentList::ScreenObjects);
}

}  // namespace qel::app
