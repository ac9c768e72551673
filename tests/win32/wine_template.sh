#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the template prefix of the Windows tests in $1, once per Wine version:
# a Windows of the set's architecture (32 or 64 bit) with C: as its only
# drive but an empty CD-ROM drive E:, windows placed where programs put them (no window manager is asked), and
# Wine's own Tahoma (the dialog font, and the mapper launcher's label) and
# Marlett (caption buttons) where Windows keeps its fonts: Wine's 32-bit
# loader does not look for them where Debian installs them.
set -euo pipefail
source "$(dirname "$0")/wine_lib.sh"
template=$(realpath -m -- "$1")  # Wine wants an absolute prefix
type -P "$KELMOR_WINE" >/dev/null || { echo "$KELMOR_WINE is not installed (tools/install-deps.sh windows)" >&2; exit 1; }
version="$(wine --version) $WINEARCH"
if [ -e "$template/.complete" ] && [ "$(cat "$template/.complete")" = "$version" ]; then
  echo "Wine template $template is up to date ($version)"
  exit 0
fi

rm -rf "$template" "$template.part"
mkdir -p "$(dirname "$template")"
export WINEPREFIX=$template.part
trap 'stop_wine; rm -rf "$template.part"' EXIT
wine wineboot --init >/dev/null 2>&1
cat >"$WINEPREFIX/drive_c/kelmor-template.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_LOCAL_MACHINE\Software\Wine\Drives]
"e:"="cdrom"
REG
wine regedit /S 'C:\kelmor-template.reg' >/dev/null 2>&1
rm "$WINEPREFIX/drive_c/kelmor-template.reg"
stop_wine
# Z: would make the whole host a drive; E: is a CD-ROM drive without a disc.
rm -f "$WINEPREFIX/dosdevices/z:"
ln -sfn /nonexistent-kelmor-cd "$WINEPREFIX/dosdevices/e:"
for font in marlett tahoma tahomabd; do
  [ -r "/usr/share/wine/fonts/$font.ttf" ] || { echo "missing Wine font $font (fonts-wine)" >&2; exit 1; }
  cp "/usr/share/wine/fonts/$font.ttf" "$WINEPREFIX/drive_c/windows/Fonts/"
done
echo "$version" >"$WINEPREFIX/.complete"
trap - EXIT
mv "$template.part" "$template"
echo "Wine template made at $template ($version)"
