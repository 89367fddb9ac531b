#pragma once

// Files that others read while we write them (the settings, the registry, the
// result files): a reader sees the old or the new content, never a part.

#include <optional>
#include <string>

namespace kuzelna {

// Replaces `path` with `content`: the content is written whole to a file beside
// it, which is then renamed over it. Throws std::runtime_error on failure; the
// old file then stays as it was. `mode` gives the new file's permissions (0600
// for a file that holds a secret); without it the file keeps those of the file
// it replaces, and a new file gets the usual ones.
void replaceFile(const std::string& path, const std::string& content, std::optional<unsigned> mode = {});

} // namespace kuzelna
