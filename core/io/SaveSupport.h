#pragma once
// What the safe writer, its in-place save and the finding of interrupted
// saves share: the names of the files a save leaves beside its target, the
// record of its new bytes, and the system calls they all make the same way.
// Private to this folder.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/io/FileIo.h"

namespace qel::fileio {

constexpr std::size_t kUniqueLetters = 6;
// Not hidden and never of the form the sweep removes: the copy of the old
// bytes that an in-place save makes must outlive the sweep, for it may be all
// that is left of them.
constexpr std::string_view kBackupTag = ".qel-backup-";
// Of the same length, so that a copy's name and its record's differ in the
// tag alone.
constexpr std::string_view kRecordTag = ".qel-record-";
static_assert(kBackupTag.size() == kRecordTag.size());

// The name that writing `path` really makes or replaces. Throws FileError.
std::string FollowLinks(std::string path);
std::uint32_t Fnv1a(std::string_view bytes);
// Whether `name` is `prefix` followed by kUniqueLetters letters or digits.
bool IsPrefixAndSuffix(std::string_view name, std::string_view prefix);
// Throws FileError.
void SyncFolder(const std::string& folder);
std::string FitName(std::string_view name, long room);
long NameMax(const std::string& folder);

// The record of an in-place save's new bytes, beside the copy of its old ones.
std::string RecordText(std::string_view bytes);
std::string SwapTag(const std::string& kept, std::string_view from, std::string_view to);
std::string RecordOf(const std::string& backup);
// The call SetSavePointCall put in place; empty for none.
SavePointCall& SavePointSeam();

}  // namespace qel::fileio
