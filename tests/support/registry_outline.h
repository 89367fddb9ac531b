#pragma once

// A registry tree written as one "level|line" row per node, depth-first, so a
// test states a whole expected tree in one string.

#include "registry/registry_tree.h"

#include <string>

namespace kuzelna::testing {

std::string outline(const RegistryTree& tree);

// A unique empty folder under the system temp folder, removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

} // namespace kuzelna::testing
