// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/posix/posix_numeric_text.hpp"

#include <clocale>

#include "core/numeric_text.hpp"

namespace kelmor::posix {

std::optional<double> parseNumericText(std::string_view text, std::string_view decimalPoint) {
    return parseNumber(text, decimalPoint);
}

std::optional<double> parseNumericText(std::string_view text) {
    const lconv* conventions = std::localeconv();
    const char* point = conventions != nullptr ? conventions->decimal_point : nullptr;
    return parseNumericText(text,
                            point != nullptr ? std::string_view(point) : std::string_view("."));
}

}  // namespace kelmor::posix
