#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The length of every function of the kit's programs, libraries and
# benchmarks, longest first: the lines from the first line of its signature
# to its closing brace, lambdas counted in the function that holds them.
# Fails, naming them, when a function is longer than the limit. The tests
# are left out unless named: their longest functions are tables of cases.
#
#   tools/function-lengths.sh [--limit N] [--top N] [--tree DIR] [folder...]
#
# Reads the text, not the syntax tree: braces are counted outside comments,
# strings and character literals; a brace opens a function when what stands
# before it (back to the last ';', '{' or '}') holds a '(' and no '=', outside
# any other function; namespaces, classes, structs, enums and initializers
# are looked into.
set -euo pipefail
limit=60
top=10
while [ $# -gt 0 ]; do
  case $1 in
    --limit) limit=$2; shift 2 ;;
    --top) top=$2; shift 2 ;;
    --tree) root=$2; shift 2 ;;
    *) break ;;
  esac
done
cd "${root:-$(dirname "$0")/..}"
code="core game_launcher kit_launcher mapper_launcher config_tool dosbox_bridge drives_tool bench"
folders=${*:-$code}

lengths=$(
  for folder in $folders; do
    if [ -d "$folder" ]; then find "$folder" -name '*.[ch]pp' -print; fi
  done | sort | while read -r file; do
    awk -v file="$file" '
      # The line without comments, strings and character literals.
      function code(line,    out, c, i, n) {
        out = ""; n = length(line)
        for (i = 1; i <= n; i++) {
          c = substr(line, i, 1)
          if (inComment) {
            if (c == "*" && substr(line, i + 1, 1) == "/") { inComment = 0; i++ }
            continue
          }
          if (rawEnd != "") {
            if (substr(line, i, length(rawEnd)) == rawEnd) { i += length(rawEnd) - 1; rawEnd = "" }
            continue
          }
          if (c == "/" && substr(line, i + 1, 1) == "/") break
          if (c == "/" && substr(line, i + 1, 1) == "*") { inComment = 1; i++; continue }
          if (c == "R" && substr(line, i + 1, 1) == "\"" &&
              substr(line, i - 1, 1) !~ /[A-Za-z0-9_]/) {
            rest = substr(line, i + 2)
            rawEnd = ")" substr(rest, 1, index(rest, "(") - 1) "\""
            i += index(rest, "(") + 1
            out = out "\"\""
            continue
          }
          if (c == "\"" || c == "\047") {
            quote = c; out = out c
            for (i++; i <= n; i++) {
              c = substr(line, i, 1)
              if (c == "\\") { i++; continue }
              if (c == quote) break
            }
            out = out quote
            continue
          }
          out = out c
        }
        return out
      }
      {
        text = code($0)
        if (text ~ /^[ \t]*#/) next
        n = length(text)
        for (i = 1; i <= n; i++) {
          c = substr(text, i, 1)
          if (c == "{") {
            kind = "block"
            if (functionDepth == 0) {
              kind = "scope"
              scope = head ~ /(^|[^A-Za-z0-9_])(namespace|extern|class|struct|enum|union) / &&
                      head !~ /\(/
              assigned = head ~ /[^=!<>]=[^=]/ || head ~ /^[ \t]*=/
              if (!scope && !assigned && head ~ /\(/) kind = "function"
            }
            depth++
            kinds[depth] = kind
            if (kind == "function") {
              functionDepth = 1; start[depth] = headLine; name[depth] = head
            }
            else if (functionDepth > 0) functionDepth++
            head = ""; headLine = 0
          } else if (c == "}") {
            if (kinds[depth] == "function") {
              sub(/^[ \t]+/, "", name[depth]); sub(/\(.*/, "", name[depth])
              printf "%d %s:%d %s\n", NR - start[depth] + 1, file, start[depth], name[depth]
              functionDepth = 0
            } else if (functionDepth > 0) functionDepth--
            depth--
            head = ""; headLine = 0
          } else if (c == ";") {
            head = ""; headLine = 0
          } else {
            if (headLine == 0 && c !~ /[ \t]/) headLine = NR
            if (headLine != 0) head = head c
            if (head ~ /^(public|protected|private)[ \t]*:$/) { head = ""; headLine = 0 }
          }
        }
        if (headLine != 0) head = head " "
      }' "$file"
  done | sort -rn -k1,1)

head -n "$top" <<<"$lengths"
over=$(awk -v limit="$limit" '$1 > limit' <<<"$lengths")
if [ -n "$over" ]; then
  echo "functions longer than $limit lines:" >&2
  echo "$over" >&2
  exit 1
fi
