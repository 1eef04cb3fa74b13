#!/usr/bin/env bash
# Checks that the front end of a build holds exactly one desktop front end: one definition of
# tamsel::OpenDesktopUserInterface among its object files (which the programs link all of, so
# that a second one would also fail their link).
#
# Usage: one-desktop-front-end.sh OBJECT...
set -euo pipefail
definitions=$(nm -C --defined-only "$@" | grep -c ' T tamsel::OpenDesktopUserInterface()$' || true)
if [[ $definitions -ne 1 ]]; then
  echo "the front end defines OpenDesktopUserInterface $definitions times; exactly one desktop" \
       "front end folder (TAMSEL_DESKTOP) belongs in a build" >&2
  exit 1
fi
echo "one desktop front end"
