#!/usr/bin/env bash
# One Wine session for a test run: a fresh 32-bit prefix (WINEARCH=win32, so that the programs
# see HKLM\SOFTWARE and "C:\Program Files" directly, without the WOW6432Node view) and an Xvfb
# display, both kept in SESSION_DIR and reused by every test of the run.
#
#   wine-session.sh start SESSION_DIR          make the prefix (wineboot -i) and the display
#   wine-session.sh run SESSION_DIR CMD...     run CMD with the session's environment
#   wine-session.sh stop SESSION_DIR           end wineserver and Xvfb, remove the session
set -euo pipefail

command=${1:?usage: wine-session.sh start|run|stop SESSION_DIR [CMD...]}
session=$(realpath -m "${2:?usage: wine-session.sh start|run|stop SESSION_DIR [CMD...]}")  # Wine wants absolute paths
shift 2

load_environment() {
  if [[ ! -f "$session/env" ]]; then
    echo "wine-session: no session in $session (run 'start' first)" >&2
    exit 1
  fi
  # shellcheck source=/dev/null
  source "$session/env"
  export DISPLAY WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES
}

stop_session() {
  if [[ -f "$session/env" ]]; then
    (load_environment; wineserver -k 2>/dev/null || true)
  fi
  if [[ -f "$session/xvfb.pid" ]]; then
    kill "$(cat "$session/xvfb.pid")" 2>/dev/null || true
  fi
  rm -rf "$session"
}

case "$command" in
  start)
    for tool in wine wineserver wineboot Xvfb lnkinfo; do
      command -v "$tool" >/dev/null || { echo "wine-session: $tool is missing (scripts/install-deps --windows)" >&2; exit 1; }
    done
    stop_session
    mkdir -p "$session"
    # Xvfb picks a free display and writes its number to the descriptor it is given.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$session/display" </dev/null >/dev/null 2>"$session/xvfb.log" &
    echo $! >"$session/xvfb.pid"
    for _ in $(seq 100); do [[ -s "$session/display" ]] && break; sleep 0.1; done
    [[ -s "$session/display" ]] || { echo "wine-session: Xvfb did not start" >&2; cat "$session/xvfb.log" >&2; exit 1; }
    cat >"$session/env" <<ENV
DISPLAY=:$(cat "$session/display")
WINEPREFIX=$session/prefix
WINEARCH=win32
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
ENV
    load_environment
    started=$(date +%s)
    wineboot -i </dev/null >"$session/wineboot.log" 2>&1
    wineserver -w
    # Wine's own fonts ("MS Sans Serif", Tahoma: Debian's fonts-wine). Measured with Wine 8 from
    # Debian: a program is given them only from the prefix's Fonts folder, not from
    # /usr/share/wine/fonts, and gets a wider substitute otherwise.
    if [[ -d /usr/share/wine/fonts ]]; then
      cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    # A persistent wineserver keeps the prefix warm between the tests.
    wineserver -p </dev/null >/dev/null 2>&1
    echo "wine-session: prefix ready in $(( $(date +%s) - started )) s ($WINEPREFIX, DISPLAY $DISPLAY)"
    ;;
  run)
    load_environment
    # Wine's own helper processes (explorer, rpcss, ...) that a program starts outlive it and
    # inherit its output: the output goes through a file, so that whoever reads it (ctest) is
    # not kept waiting for them.
    log=$(mktemp)
    set +e
    "$@" </dev/null >"$log" 2>&1
    status=$?
    set -e
    cat "$log"
    rm -f "$log"
    exit $status
    ;;
  stop)
    stop_session
    ;;
  *)
    echo "wine-session: unknown command '$command'" >&2
    exit 2
    ;;
esac
