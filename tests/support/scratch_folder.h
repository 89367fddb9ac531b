#pragma once

// A fresh folder for one test, removed with everything in it afterwards.

#include <filesystem>
#include <string>

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

} // namespace kuzelna::testing
