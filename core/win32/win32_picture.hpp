// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures and icons from the program's resources.
#pragma once

#include <windows.h>

namespace kelmor::win32 {

// A picture stored as RCDATA (a Windows bitmap or a PNG), as a DIB section
// the size of the picture; nullptr when the resource is missing or not a
// picture. The caller deletes it.
HBITMAP loadPicture(const wchar_t* resourceName);

// The icon resource at the given size; nullptr when missing. Shared: never deleted.
HICON loadIcon(const wchar_t* resourceName, int size);

}  // namespace kelmor::win32
