#pragma once
// Finding and putting back the old bytes of an in-place save (SafeFileWriter)
// that the process did not live to finish.

#include <optional>
#include <string>

namespace qel {

// What FindInterruptedSave does with the copy of a save that did not need
// one after all: one whose target holds exactly the bytes its record names
// (the save finished; only the removal of the copy was missed), or exactly
// the bytes of the copy (the target was never changed).
enum class SettledSaves { Remove, Leave };

// The copy of the old bytes that an in-place save of `path` left beside the
// file it writes when the process died part way and the target now holds
// neither the old bytes nor the new ones in full: the target may be
// incomplete, and the copy holds all of its previous content. The newest such
// copy that no running save holds; nullopt when there is none (or the folder
// cannot be listed). Copies of settled saves are never returned; with
// SettledSaves::Remove they and their records are removed, as are records
// whose copy is gone.
std::optional<std::string> FindInterruptedSave(const std::string& path, SettledSaves settled = SettledSaves::Remove);

// Makes the bytes of `copy` (as FindInterruptedSave found it) the content of
// `path` again, through SafeFileWriter, and then removes the copy and its
// record. Throws FileError; the copy is kept unless the content was put back.
void RestoreInterruptedSave(const std::string& path, const std::string& copy);

}  // namespace qel
