#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# No function of the kit is longer than 60 lines, and the count is right: a
# small tree whose braces hide in comments, strings and a raw string, with
# a lambda inside a function, a class's member and a table at namespace scope.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
lengths=$root/tools/function-lengths.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$lengths" --tree "$root" >"$work/kit" 2>&1 || fail "the kit's own tree: $(cat "$work/kit")"

mkdir -p "$work/tree/core"
cat >"$work/tree/core/a.cpp" <<'CPP'
namespace kelmor {
namespace {
const Row kRows[] = {
    {"{", 1},
};
}  // namespace

int first(int a,
          int b) {
    // a } in a comment
    const char* text = "}";  /* and { here */
    auto twice = [&](int x) {
        return 2 * x;
    };
    return twice(a) + b + '}';
}

class Window {
  public:
    Window() {
        label = R"x(a } and a ")" )x";
    }
};
}  // namespace kelmor
CPP
out=$("$lengths" --tree "$work/tree" --limit 8 core 2>&1) && fail "a 9-line function within 8 lines"
[ "$out" = "9 core/a.cpp:8 int first
3 core/a.cpp:20 Window
functions longer than 8 lines:
9 core/a.cpp:8 int first" ] || fail "counted:
$out"
"$lengths" --tree "$work/tree" --limit 9 core >/dev/null || fail "a 9-line function over 9 lines"
echo "PASS"
