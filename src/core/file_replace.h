#pragma once

// Files that others read while we write them (the settings, the registry, the
// result files): a reader sees the old or the new content, never a part.

#include <string>

namespace kuzelna {

// Replaces `path` with `content`: the content is written whole to a file beside
// it, which is then renamed over it. Throws std::runtime_error on failure; the
// old file then stays as it was.
void replaceFile(const std::string& path, const std::string& content);

} // namespace kuzelna
