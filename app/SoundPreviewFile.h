#pragma once
// The copy of the last sound previewed, "prev.wav", which the player opens.
//
// It goes to the program's folder when that folder can take it, and otherwise
// to the per-user cache folder: an editor installed where its user may not
// write still plays sounds. The copy keeps the source's bytes exactly and
// replaces an earlier copy in one step, so the player never opens a half
// written file.

#include <QString>

namespace qel::app {

class SoundPreviewFile {
public:
    // Both folders with or without a final "/". The cache folder need not
    // exist yet; an empty folder is never written to.
    SoundPreviewFile(QString programFolder, QString cacheFolder);

    // The per-user cache folder (QStandardPaths::CacheLocation).
    static QString DefaultCacheFolder();

    // Copies the file at `source` to "prev.wav" in the program folder,
    // replacing the one there; when that folder cannot take it (missing, not
    // writable, disk full), to "prev.wav" in the cache folder, created when
    // missing. Returns the path of the copy.
    // Throws qel::FileError with the system's message when `source` cannot be
    // read (nothing changes then), or when neither folder can take the copy:
    // then the earlier copies are removed, so that the player cannot open the
    // sound previewed before in place of this one.
    QString copy(const QString& source);

    // Deletes "prev.wav" from both folders wherever it exists (a copy left by
    // an earlier run included); failures are ignored.
    void remove();

private:
    QString cacheFolder_;
    QString programCopy_;
    QString cacheCopy_;
};

}  // namespace qel::app
