#pragma once

// Files for the tests: a folder of their own, and whole files read and written.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qv::test {

inline void WriteTestFile(const std::string& path, std::string_view contents) {
    if (!(std::ofstream(path, std::ios::binary) << contents)) {
        throw std::runtime_error("cannot write " + path);
    }
}

inline std::string ReadTestFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Names of the entries in a folder, sorted, each followed by ";".
inline std::string TempFolderListing(const std::string& folder) {
    std::set<std::string> sorted;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        sorted.insert(entry.path().filename().string());
    }
    std::string listing;
    for (const std::string& name : sorted) {
        listing += name + ";";
    }
    return listing;
}

// A fresh folder under /tmp, removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder() : path_((std::filesystem::temp_directory_path() / "qv_test_XXXXXX").string()) {
        if (mkdtemp(path_.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }

    const std::string& Path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }
    std::string Listing() const { return TempFolderListing(path_); }

private:
    std::string path_;
};

}  // namespace qv::test
