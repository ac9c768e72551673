#include "core/posix/numeric_text.hpp"

#include <locale.h>

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

namespace kelmor::posix {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
// Only the space: a tab or a line end is no part of a number.
bool isBlank(char c) {
    return c == ' ';
}

// Converts text in the C syntax ("-12.5e3") whatever the process's locale.
std::optional<double> convertCSyntax(const std::string& text) {
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    if (cLocale == static_cast<locale_t>(nullptr)) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const double value = strtod_l(text.c_str(), &end, cLocale);
    if (end != text.c_str() + text.size()) return std::nullopt;
    if (errno == ERANGE && std::isinf(value)) return std::nullopt;
    return value;
}

}  // namespace

std::optional<double> parseNumericText(std::string_view text, std::string_view decimalPoint) {
    if (decimalPoint.empty()) decimalPoint = ".";
    std::size_t at = 0;
    const auto digitsInto = [&](std::string& out) {
        std::size_t count = 0;
        while (at < text.size() && isDigit(text[at])) {
            out += text[at++];
            ++count;
        }
        return count;
    };

    // The number rewritten in the C syntax as it is checked.
    std::string normal;
    while (at < text.size() && isBlank(text[at])) ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        if (text[at] == '-') normal += '-';
        ++at;
    }
    std::size_t mantissaDigits = digitsInto(normal);
    if (text.substr(at, decimalPoint.size()) == decimalPoint) {
        at += decimalPoint.size();
        normal += '.';
        mantissaDigits += digitsInto(normal);
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        normal += 'e';
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) normal += text[at++];
        if (digitsInto(normal) == 0) return std::nullopt;
    }
    while (at < text.size() && isBlank(text[at])) ++at;
    if (at != text.size()) return std::nullopt;
    return convertCSyntax(normal);
}

std::optional<double> parseNumericText(std::string_view text) {
    const lconv* conventions = std::localeconv();
    const char* point = conventions != nullptr ? conventions->decimal_point : nullptr;
    return parseNumericText(text,
                            point != nullptr ? std::string_view(point) : std::string_view("."));
}

}  // namespace kelmor::posix
