// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/numeric_text.hpp"

#include <algorithm>
#include <charconv>
#include <string>
#include <system_error>

#include "core/ascii_text.hpp"

namespace kelmor {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
// The blanks around a number: spaces alone, a tab is none.
constexpr std::string_view kNumberBlanks = " ";

// A number in the C syntax, as the parse rewrites it: its digits with the
// point's place, and the exponent (saturated far beyond any double's range).
struct CNumber {
    bool negative = false;
    std::string digits;
    std::size_t integerDigits = 0;
    long exponent = 0;

    // Where the first significant digit stands: > 0 means at least 1.
    long order() const {
        const std::size_t first = digits.find_first_not_of('0');
        if (first == std::string::npos) return 0;
        return exponent + static_cast<long>(integerDigits) - static_cast<long>(first);
    }

    std::optional<double> value() const {
        // Zeros around the point keep "1." and ".5" plain for from_chars.
        const std::string text = (negative ? "-0" : "0") + digits.substr(0, integerDigits) + "." +
                                 digits.substr(integerDigits) + "0e" + std::to_string(exponent);
        double result = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), result);
        if (error == std::errc::result_out_of_range) {
            if (order() > 0) return std::nullopt;  // too large
            return negative ? -0.0 : 0.0;          // too small
        }
        if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
        return result;
    }
};

class Parser {
public:
    Parser(std::string_view text, std::string_view decimalPoint)
        : text_(text), point_(decimalPoint.empty() ? "." : decimalPoint) {}

    std::optional<double> parse() {
        skipBlanks();
        if (at(0) == '+' || at(0) == '-') number_.negative = text_[position_++] == '-';
        std::size_t mantissaDigits = digits();
        number_.integerDigits = number_.digits.size();
        if (take(point_)) mantissaDigits += digits();
        if (mantissaDigits == 0) return std::nullopt;
        if (at(0) == 'e' || at(0) == 'E') {
            ++position_;
            if (!exponentPart()) return std::nullopt;
        }
        skipBlanks();
        if (position_ != text_.size()) return std::nullopt;
        return number_.value();
    }

private:
    char at(std::size_t ahead) const {
        return position_ + ahead < text_.size() ? text_[position_ + ahead] : '\0';
    }
    bool take(std::string_view token) {
        if (token.empty() || text_.substr(position_, token.size()) != token) return false;
        position_ += token.size();
        return true;
    }
    void skipBlanks() {
        while (isBlank(at(0), kNumberBlanks)) ++position_;
    }
    std::size_t digits() {
        std::size_t count = 0;
        for (; isDigit(at(0)); ++count) number_.digits += text_[position_++];
        return count;
    }
    bool exponentPart() {
        bool negative = false;
        if (at(0) == '+' || at(0) == '-') negative = text_[position_++] == '-';
        if (!isDigit(at(0))) return false;
        constexpr long kFarBeyondAnyDouble = 100000;
        long exponent = 0;
        while (isDigit(at(0))) {
            exponent = std::min(exponent * 10 + (text_[position_++] - '0'), kFarBeyondAnyDouble);
        }
        number_.exponent = negative ? -exponent : exponent;
        return true;
    }

    std::string_view text_;
    std::string_view point_;
    std::size_t position_ = 0;
    CNumber number_;
};

}  // namespace

std::optional<double> parseNumber(std::string_view text, std::string_view decimalPoint) {
    return Parser(text, decimalPoint).parse();
}

}  // namespace kelmor
