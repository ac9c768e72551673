// SPDX-License-Identifier: GPL-3.0-or-later
// A temporary folder for integration tests: created empty, removed with
// everything in it (folders without permissions included) when it goes.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace kelmor::test {

class TempFolder {
public:
    TempFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp") + "/kelmor-test-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data()) == nullptr) {
            throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
        }
        root_ = buffer.data();
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() { forceRemove(root_); }

    // The folder itself, an absolute host path without a trailing slash.
    const std::string& path() const { return root_; }

    // The host path of a relative path inside the folder.
    std::string path(const std::string& relative) const { return root_ + "/" + relative; }

    // Creates a folder (and the folders above it) inside; returns its path.
    std::string makeFolder(const std::string& relative) const {
        std::filesystem::create_directories(path(relative));
        return path(relative);
    }

    // Writes a file inside, creating its folders; returns its path.
    std::string write(const std::string& relative, const std::string& content) const {
        const std::filesystem::path file = path(relative);
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << content;
        if (!out) throw std::runtime_error("cannot write " + file.string());
        return file;
    }

    // Writes a sparse file of the given size inside (holes take no disk).
    std::string sparse(const std::string& relative, std::uintmax_t size) const {
        const std::string file = write(relative, "");
        std::filesystem::resize_file(file, size);
        return file;
    }

    // The content of a file inside (throws when it cannot be read).
    std::string read(const std::string& relative) const {
        std::ifstream in(path(relative), std::ios::binary);
        if (!in) throw std::runtime_error("cannot read " + path(relative));
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // True when something (a dangling link included) exists at the path.
    bool exists(const std::string& relative) const {
        return std::filesystem::symlink_status(path(relative)).type() !=
               std::filesystem::file_type::not_found;
    }

    // The names in a folder inside, sorted.
    std::vector<std::string> names(const std::string& relative = ".") const {
        std::vector<std::string> result;
        for (const auto& entry : std::filesystem::directory_iterator(path(relative))) {
            result.push_back(entry.path().filename().string());
        }
        std::sort(result.begin(), result.end());
        return result;
    }

private:
    static void forceRemove(const std::filesystem::path& path) {
        std::error_code error;
        const auto status = std::filesystem::symlink_status(path, error);
        if (error) return;
        if (status.type() == std::filesystem::file_type::directory) {
            chmod(path.c_str(), 0700);
            for (const auto& entry : std::filesystem::directory_iterator(path, error)) {
                forceRemove(entry.path());
            }
        }
        std::filesystem::remove(path, error);
    }

    std::string root_;
};

}  // namespace kelmor::test
