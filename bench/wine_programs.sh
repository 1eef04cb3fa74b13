#!/usr/bin/env bash
# Prints the sizes of the Windows programs and the wall time of a scripted installation, a
# scripted removal and the log-on that finishes it, under Wine. A figure, never a test.
# Usage: bench/wine_programs.sh [WINDOWS_BUILD_DIR] [RUNS]   (default build/windows, 5 runs)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/windows}
runs=${2:-5}
dist="$build/dist"
session="$build/bench-session"
for program in Setup.exe uninstall.exe TamselOrry.exe; do
  [[ -f "$dist/$program" ]] || { echo "no $dist/$program: build the windows preset first" >&2; exit 1; }
done

"$root/tests/wine/program-sizes.sh" 307200 "$dist/Setup.exe" "$dist/uninstall.exe" || true
trap '"$root/tests/wine/wine-session.sh" stop "$session"' EXIT
"$root/tests/wine/wine-session.sh" start "$session"
# shellcheck source=/dev/null
source "$session/env"
export DISPLAY WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES

media="$WINEPREFIX/drive_c/tamsel-media"
mkdir -p "$media"
cp "$dist/Setup.exe" "$dist/uninstall.exe" "$dist/TamselOrry.exe" "$media/"
printf '%s\n' 'click OKBTN' 'answer No' >"$WINEPREFIX/drive_c/install.txt"
printf '%s\n' 'click OKButton' 'answer OK' >"$WINEPREFIX/drive_c/remove.txt"

milliseconds() { date +%s%3N; }
printf '%-5s %12s %12s %12s\n' run "install ms" "remove ms" "log-on ms"
for run in $(seq "$runs"); do
  t0=$(milliseconds)
  TAMSEL_UI='script:C:\install.txt' wine 'C:\tamsel-media\Setup.exe' >/dev/null 2>&1
  t1=$(milliseconds)
  TAMSEL_UI='script:C:\remove.txt' wine 'C:\Program Files\Tamsel Orry\uninstall.exe' >/dev/null 2>&1
  t2=$(milliseconds)
  wineboot -r >/dev/null 2>&1
  while [[ -e "$WINEPREFIX/drive_c/Program Files/Tamsel Orry" ]]; do sleep 0.01; done
  t3=$(milliseconds)
  printf '%-5s %12d %12d %12d\n' "$run" $((t1 - t0)) $((t2 - t1)) $((t3 - t2))
done
