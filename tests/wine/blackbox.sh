#!/usr/bin/env bash
# The black-box tests of Setup and Uninstall against the Windows build under Wine: the Linux
# build's own test program, with the machine-access layer switched to Wine (WineMachine in
# tests/support). The Wine machine each test copies is made once per session. The programs'
# transcripts go to SESSION_DIR/transcripts/wine for the parity test.
#
#   blackbox.sh HOST_BUILD DIST_DIR SESSION_DIR TEST_PROGRAM
#
# Skipped (status 77) when HOST_BUILD holds no such test program.
set -euo pipefail
host=${1:?usage: blackbox.sh HOST_BUILD DIST_DIR SESSION_DIR TEST_PROGRAM}
dist=$(realpath "$2")
session=$(realpath -m "$3")
program="$host/tests/$4"
sandbox_tool="$host/tools/tamsel-sandbox"
if [[ ! -x "$program" || ! -x "$sandbox_tool" ]]; then
  echo "skipped: $host holds no $4 and tools/tamsel-sandbox (TAMSEL_HOST_BUILD)"
  exit 77
fi
machine="$session/blackbox-machine"
if [[ ! -d "$machine/prefix" ]]; then
  "$(dirname "$0")/blackbox-machine.sh" "$machine" "$sandbox_tool"
fi
mkdir -p "$session/transcripts/wine"
TAMSEL_WINE_MACHINE="$machine" TAMSEL_WINE_DIST="$dist" \
  TAMSEL_TRANSCRIPTS="$session/transcripts/wine" exec "$program"
