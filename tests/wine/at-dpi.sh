#!/usr/bin/env bash
# Runs a command of the Wine session with the screen set to DPI dots per inch, and sets it back
# to Wine's default (96) afterwards. Wine reads the setting when a process starts, from the
# current user's "LogPixels" value. TAMSEL_EXPECT_DPI tells the command what it should see.
# Usage: at-dpi.sh DPI COMMAND...
set -euo pipefail
dpi=${1:?usage: at-dpi.sh DPI COMMAND...}
shift
desktop='HKCU\Control Panel\Desktop'
restore() { wine reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1 || true; }
trap restore EXIT
wine reg add "$desktop" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
TAMSEL_EXPECT_DPI=$dpi "$@"
