#pragma once

// Files that others read while we write them (the settings, the registry, the
// result files) and files that must survive a power cut: a reader sees the old
// or the new content, never a part, and once a call returns the new content
// and its name are on the disk.

#include <optional>
#include <string>

namespace kuzelna {

// Replaces `path` with `content`: the content is written whole to a file of a
// unique name beside it (".<name>.<pid>.<random>.tmp"), synced, renamed over
// it, and the folder is synced before the call returns. Throws
// std::runtime_error with the system's cause on failure; the old file then
// stays as it was and no temporary file is left. `mode` gives the new file's
// permissions (0600 for a file that holds a secret); without it the file keeps
// those of the file it replaces, and a new file gets the usual ones.
void replaceFile(const std::string& path, const std::string& content, std::optional<unsigned> mode = {});

// Syncs a folder, so that names created, renamed or removed in it last.
// Throws std::runtime_error with the system's cause.
void syncFolder(const std::string& folder);

// The folder that holds `path` ("." for a bare name).
std::string folderOf(const std::string& path);

// Moves the file `from` to `to`, a name that is free, so that the file is in
// exactly one place after a power cut, the new one once the call returns.
// Within one file system: renamed, then both folders synced. Onto another:
// copied under a temporary name beside `to`, synced, renamed into place, the
// folder synced, and only then the source removed and its folder synced.
// Throws std::runtime_error with the system's cause; the source then stays.
void moveFile(const std::string& from, const std::string& to);

} // namespace kuzelna
