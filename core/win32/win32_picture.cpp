// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/win32/win32_picture.hpp"

#include <algorithm>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>

#include "core/pictures/image.hpp"

namespace kelmor::win32 {
namespace {

std::span<const std::uint8_t> resourceBytes(const wchar_t* name) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(module, name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (found == nullptr) return {};
    const HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) return {};
    return {static_cast<const std::uint8_t*>(bytes), SizeofResource(module, found)};
}

// The kinds of picture known by how their files begin; anything else is
// taken for a bitmap.
struct PictureKind {
    std::string_view signature;
    pictures::Image (*decode)(std::span<const std::uint8_t>);
};
constexpr PictureKind kPictureKinds[] = {{"\x89PNG", pictures::decodePng}};

pictures::Image decodePicture(std::span<const std::uint8_t> bytes) {
    for (const PictureKind& kind : kPictureKinds)
        if (bytes.size() >= kind.signature.size() &&
            std::equal(kind.signature.begin(), kind.signature.end(), bytes.begin(),
                       [](char expected, std::uint8_t byte) {
                           return static_cast<std::uint8_t>(expected) == byte;
                       }))
            return kind.decode(bytes);
    return pictures::decodeBmp(bytes);
}

// A top-down 24-bit DIB section holding the picture's pixels.
HBITMAP toBitmap(const pictures::Image& image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return nullptr;
    const std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) / 4 * 4;
    auto* rows = static_cast<std::uint8_t*>(bits);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* rgb =
                &image.rgb[(static_cast<std::size_t>(y) * image.width + x) * 3];
            std::uint8_t* bgr = rows + y * stride + x * 3;
            bgr[0] = rgb[2];
            bgr[1] = rgb[1];
            bgr[2] = rgb[0];
        }
    }
    return bitmap;
}

}  // namespace

HBITMAP loadPicture(const wchar_t* resourceName) {
    const auto bytes = resourceBytes(resourceName);
    if (bytes.empty()) return nullptr;
    try {
        return toBitmap(decodePicture(bytes));
    } catch (const std::invalid_argument&) {
        return nullptr;
    }
}

HICON loadIcon(const wchar_t* resourceName, int size) {
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), resourceName, IMAGE_ICON, size, size, LR_SHARED));
}

}  // namespace kelmor::win32
