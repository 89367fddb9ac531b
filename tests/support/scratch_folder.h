#pragma once

// A fresh folder for one test, removed with everything in it afterwards.

#include <filesystem>
#include <string>
#include <vector>

namespace kuzelna::testing {

class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& purpose = "test");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Creates an empty file (and its folders) below the folder; returns its path.
    std::filesystem::path touch(const std::filesystem::path& relative) const;

private:
    std::filesystem::path path_;
};

// The temporary files a replacement leaves in `folder` (".<name>.<...>.tmp"),
// which after a save, failed or not, must be none.
std::vector<std::string> temporariesIn(const std::filesystem::path& folder);

} // namespace kuzelna::testing
