// SPDX-License-Identifier: GPL-3.0-or-later
// A folder of its own below C:\ for a Win32 host test, removed at the end,
// with the host whose application folder it holds.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "core/win32/win32_host.hpp"
#include "core/win32/win32_text.hpp"

namespace kelmor::win32::test {

namespace fs = std::filesystem;

class Scene {
public:
    // `application` is the application folder, below the scene's folder.
    explicit Scene(const std::string& application = "app")
        : root_(fs::path(L"C:\\") / (L"kelmor-test-" + std::to_wstring(GetCurrentProcessId()) +
                                     L"-" + std::to_wstring(++count_))) {
        fs::create_directories(root_ / wide(application, application));
        host = Win32Host({.applicationFolder = path(application)});
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
    ~Scene() {
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(root_, ignored))
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(root_, ignored);
    }

    // The Windows path of a file or folder of the scene, as UTF-8.
    std::string path(const std::string& relative = {}) const {
        return utf8((relative.empty() ? root_ : hostPath(relative)).wstring());
    }
    fs::path hostPath(const std::string& relative) const {
        return (root_ / wide(relative, relative)).make_preferred();
    }

    void write(const std::string& relative, const std::string& bytes) const {
        fs::create_directories(hostPath(relative).parent_path());
        std::ofstream(hostPath(relative), std::ios::binary) << bytes;
    }
    std::string read(const std::string& relative) const {
        std::ifstream file(hostPath(relative), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }
    bool exists(const std::string& relative) const { return fs::exists(hostPath(relative)); }
    // The names in a folder of the scene, sorted, separated by blanks.
    std::string listing(const std::string& relative) const {
        std::set<std::string> sorted;
        for (const auto& entry : fs::directory_iterator(hostPath(relative)))
            sorted.insert(utf8(entry.path().filename().wstring()));
        std::string names;
        for (const std::string& name : sorted) names += (names.empty() ? "" : " ") + name;
        return names;
    }
    // The content of a file once something else has written it; empty after 10 s.
    std::string await(const std::string& relative) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            // A record is never empty: an empty read is a file not readable yet.
            if (exists(relative)) {
                std::string content = read(relative);
                if (!content.empty()) return content;
            }
            Sleep(20);
        }
        return {};
    }

    Win32Host host{{.applicationFolder = "C:\\"}};

private:
    static inline int count_ = 0;
    fs::path root_;
};

}  // namespace kelmor::win32::test
