# Helpers of the Wine tests; sourced by them. Expects the Wine session's environment
# (wine-session.sh run) and sets DIST (the Windows dist folder) and TOOLS (uiauto.exe's folder).
set -euo pipefail

DIST=${1:?usage: TEST.sh DIST_DIR TOOLS_DIR}
TOOLS=${2:?usage: TEST.sh DIST_DIR TOOLS_DIR}

C_DRIVE="$WINEPREFIX/drive_c"
MEDIA_WIN='C:\tamsel-media'
MEDIA="$C_DRIVE/tamsel-media"
INSTALL_WIN='C:\Program Files\Tamsel Orry'
INSTALL="$C_DRIVE/Program Files/Tamsel Orry"
WINE_USER_DIR="$C_DRIVE/users/$(id -un)"
GROUP="$WINE_USER_DIR/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tamsel Orry"
UNINSTALL_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Tamsel Orry'
APP_PATHS_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\TamselOrry.exe'
RUNONCE_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce'
INSTALLER='Tamsel Orry Installer'
REMOVER='Uninstall Tamsel Orry'

failures=0
check() {  # check DESCRIPTION COMMAND...: counts a failing check and goes on
  local what=$1
  shift
  if "$@"; then echo "ok   - $what"; else echo "FAIL - $what"; failures=$((failures + 1)); fi
}
check_equal() {  # check_equal DESCRIPTION ACTUAL EXPECTED
  if [[ "$2" == "$3" ]]; then echo "ok   - $1"; return; fi
  echo "FAIL - $1"
  diff <(printf '%s\n' "$3") <(printf '%s\n' "$2") | sed 's/^/       /' || true
  failures=$((failures + 1))
}
finish() {
  if [[ $failures -ne 0 ]]; then echo "$failures check(s) failed"; exit 1; fi
  echo "all checks passed"
}

uiauto() { wine "$TOOLS/uiauto.exe" "$@" | tr -d '\r'; }

# The media folder Setup runs from: Setup.exe with the two programs it installs.
make_media() {
  rm -rf "$MEDIA"
  mkdir -p "$MEDIA"
  cp "$DIST/Setup.exe" "$DIST/TamselOrry.exe" "$DIST/uninstall.exe" "$MEDIA/"
}

# Starts a Windows program in the background; its exit status goes to $STATUS_FILE.
start_program() {  # start_program STATUS_FILE WINPATH
  local status_file=$1 program=$2
  rm -f "$status_file"
  (set +e; wine "$program" >/dev/null 2>&1; echo $? >"$status_file") &
}
wait_status() {  # wait_status STATUS_FILE: prints the exit status once the program has ended
  local status_file=$1
  for _ in $(seq 200); do
    if [[ -s "$status_file" ]]; then cat "$status_file"; return 0; fi
    sleep 0.1
  done
  echo "timeout"
}

# "name=type=data" lines of a key's values, sorted; nothing when the key is missing.
reg_values() {
  { wine reg query "$1" 2>/dev/null || true; } | tr -d '\r' |
    sed -n 's/^    \(.*\)    \(REG_[A-Z_]*\)    \(.*\)$/\1=\2=\3/p; s/^    \(.*\)    \(REG_[A-Z_]*\)$/\1=\2=/p' |
    sed 's/^(Default)=/@=/' | sort
}
reg_key_exists() { wine reg query "$1" >/dev/null 2>&1; }
reg_value() { reg_values "$1" | sed -n "s/^$2=REG_[A-Z_]*=//p"; }

# The properties of a shortcut file, one "field: value" a line: what lnkinfo prints, except the
# window style and hot key, which lnkinfo 20181227 prints as 0 whatever the file holds; they
# are read from the header itself (ShowCommand at byte 60, HotKey at byte 64).
link_properties() {
  lnkinfo "$1" | sed -n 's/^\t\(Icon index\|Local path\|Description\|Working directory\|Icon location\)[ \t]*: \(.*\)$/\1: \2/p'
  printf 'Show command: %d\n' "$(od -An -tu4 -j60 -N4 "$1")"
  printf 'Hot key: 0x%04x\n' "$(od -An -tu2 -j64 -N2 "$1")"
}

remove_leftovers() {
  rm -rf "$INSTALL" "$GROUP" "$MEDIA"
  wine reg delete "$UNINSTALL_KEY" /f >/dev/null 2>&1 || true
  wine reg delete "$APP_PATHS_KEY" /f >/dev/null 2>&1 || true
  wine reg delete "$RUNONCE_KEY" /v "Tamsel Orry Uninstall" /f >/dev/null 2>&1 || true
}
