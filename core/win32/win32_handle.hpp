// SPDX-License-Identifier: GPL-3.0-or-later
// A handle of the system that closes itself, the way its kind is closed:
// every handle the Win32 host and its views own is held in one of these.
#pragma once

#include <windows.h>

#include <utility>

namespace kelmor::win32 {

template <class Kind>
class OwnedHandle {
public:
    using Raw = typename Kind::Raw;

    OwnedHandle() = default;
    explicit OwnedHandle(Raw raw) : raw_(raw) {}
    OwnedHandle(OwnedHandle&& other) noexcept : raw_(other.release()) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        if (this != &other) {
            close();
            raw_ = other.release();
        }
        return *this;
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    ~OwnedHandle() { close(); }

    bool valid() const { return Kind::valid(raw_); }
    Raw get() const { return raw_; }
    // Where a function that opens one puts it (RegOpenKeyExW); what was
    // held before is closed.
    Raw* receive() {
        close();
        return &raw_;
    }
    // Hands the handle over; it is no longer closed here.
    Raw release() { return std::exchange(raw_, Kind::none()); }
    // Closes it now; false when the system reports a failure (of a file,
    // a write it could not finish).
    bool close() { return !valid() || Kind::close(release()); }

private:
    Raw raw_ = Kind::none();
};

namespace handle_kind {

// Files, processes and threads. Opening a file gives INVALID_HANDLE_VALUE
// for none, opening a process a null handle.
struct KernelObject {
    using Raw = HANDLE;
    static Raw none() { return INVALID_HANDLE_VALUE; }
    static bool valid(Raw raw) { return raw != nullptr && raw != INVALID_HANDLE_VALUE; }
    static bool close(Raw raw) { return CloseHandle(raw) != 0; }
};

// A search of a folder's names (FindFirstFileW).
struct FileSearch {
    using Raw = HANDLE;
    static Raw none() { return INVALID_HANDLE_VALUE; }
    static bool valid(Raw raw) { return raw != INVALID_HANDLE_VALUE; }
    static bool close(Raw raw) { return FindClose(raw) != 0; }
};

struct RegistryKey {
    using Raw = HKEY;
    static Raw none() { return nullptr; }
    static bool valid(Raw raw) { return raw != nullptr; }
    static bool close(Raw raw) { return RegCloseKey(raw) == ERROR_SUCCESS; }
};

// A device context made for drawing into (CreateCompatibleDC).
struct MemoryContext {
    using Raw = HDC;
    static Raw none() { return nullptr; }
    static bool valid(Raw raw) { return raw != nullptr; }
    static bool close(Raw raw) { return DeleteDC(raw) != 0; }
};

// The whole screen's device context (GetDC(nullptr)).
struct ScreenContext {
    using Raw = HDC;
    static Raw none() { return nullptr; }
    static bool valid(Raw raw) { return raw != nullptr; }
    static bool close(Raw raw) { return ReleaseDC(nullptr, raw) == 1; }
};

// Text the system wrote into memory of its own (FORMAT_MESSAGE_ALLOCATE_BUFFER).
struct SystemText {
    using Raw = wchar_t*;
    static Raw none() { return nullptr; }
    static bool valid(Raw raw) { return raw != nullptr; }
    static bool close(Raw raw) { return LocalFree(raw) == nullptr; }
};

}  // namespace handle_kind

using Handle = OwnedHandle<handle_kind::KernelObject>;
using FileSearch = OwnedHandle<handle_kind::FileSearch>;
using RegistryKey = OwnedHandle<handle_kind::RegistryKey>;
using MemoryContext = OwnedHandle<handle_kind::MemoryContext>;
using ScreenContext = OwnedHandle<handle_kind::ScreenContext>;
using SystemText = OwnedHandle<handle_kind::SystemText>;

}  // namespace kelmor::win32
