// SPDX-License-Identifier: GPL-3.0-or-later
// INI text. Input: section, key, value and text, apart at NUL bytes. Any
// text reads back as itself; a value that the text can hold is the value
// read, also after parsing the written text again, while every other entry
// of its section keeps its value and the text gains at most three lines.
#include "core/ascii_text.hpp"
#include "core/ini_text.hpp"
#include "tests/fuzz/fuzz_support.hpp"

using namespace kelmor;
using fuzz::expect;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = fuzz::fields(data, size, 4);
    const std::string &section = parts[0], &key = parts[1], &value = parts[2], &text = parts[3];
    const IniText original(text);
    expect(original.text() == text, "a text reads back as itself");
    if (!IniText::canHold(section, key, value)) return 0;

    IniText changed(text);
    changed.setValue(section, key, value);
    expect(changed.value(section, key) == value, "the value set is the value read");
    const IniText reread(changed.text());
    expect(reread.value(section, key) == value, "the value set is read from the written text");
    for (const auto& [otherKey, otherValue] : original.entries(section)) {
        if (equalIgnoringAsciiCase(otherKey, trimBlanks(key))) continue;
        expect(reread.value(section, otherKey) == original.value(section, otherKey),
               "every other entry of the section keeps its value");
    }
    const std::size_t before = fuzz::lineCount(text), after = fuzz::lineCount(changed.text());
    expect(after >= before && after <= before + 3, "a write adds at most three lines");
    return 0;
}
