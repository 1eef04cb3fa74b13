#!/usr/bin/env bash
# The same scenario on both platforms: install with the default directory and group, then
# remove and log on again, once under Wine (the Windows programs) and once on the sandbox (the
# Linux programs). Both must end in the same registry values for the program's keys, the same
# installation files and the same shortcut properties, and leave nothing behind.
#
# TAMSEL_HOST_BUILD names the Linux build that holds dist/Setup and tools/tamsel-sandbox; the
# test is skipped (status 77) without it. What the two platforms cannot have in common (the
# user's profile folder, the temporary folder, the programs' own bytes) is not compared; see
# README "Windows build".
source "$(dirname "$0")/lib.sh"

host=${TAMSEL_HOST_BUILD:-}
sandbox_tool="$host/tools/tamsel-sandbox"
if [[ -z "$host" || ! -x "$host/dist/Setup" || ! -x "$sandbox_tool" ]]; then
  echo "skipped: TAMSEL_HOST_BUILD names no Linux build with dist/Setup and tools/tamsel-sandbox"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%s\n' 'set StartMenuGroup Tamsel Orry' 'click OKBTN' 'answer No' >"$work/install.txt"
printf '%s\n' 'click OKButton' 'answer OK' >"$work/remove.txt"
sandbox_keys=('HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Tamsel Orry'
              'HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\TamselOrry.exe')

# What an installation left, in one text: registry values, files, shortcut properties.
describe_wine() {
  for key in "$UNINSTALL_KEY" "$APP_PATHS_KEY"; do echo "[$key]"; reg_values "$key"; done
  echo "[files]"; ls "$INSTALL" 2>/dev/null || true
  for name in 'Tamsel Orry' 'Uninstall Tamsel Orry'; do
    echo "[$name.lnk]"; [[ -f "$GROUP/$name.lnk" ]] && link_properties "$GROUP/$name.lnk"
  done
  return 0
}
sandbox() { TAMSEL_SANDBOX="$work/sandbox" "$sandbox_tool" "$@"; }
describe_sandbox() {
  local short=("$UNINSTALL_KEY" "$APP_PATHS_KEY") i
  for i in 0 1; do
    echo "[${short[$i]}]"
    { sandbox reg export "${sandbox_keys[$i]}" 2>/dev/null || true; } |
      sed -n 's/^"\(.*\)"="\(.*\)"$/\1=REG_SZ=\2/p; s/^@="\(.*\)"$/@=REG_SZ=\1/p' |
      sed 's/\\\\/\\/g; s/\\"/"/g' | sort
  done
  echo "[files]"; ls "$(sandbox path "$INSTALL_WIN")" 2>/dev/null || true
  local group
  group=$(sandbox path 'C:\Users\User\AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Tamsel Orry')
  for name in 'Tamsel Orry' 'Uninstall Tamsel Orry'; do
    echo "[$name.lnk]"; [[ -f "$group/$name.lnk" ]] && link_properties "$group/$name.lnk"
  done
  return 0
}

echo "# under Wine"
remove_leftovers
make_media
cp "$work/install.txt" "$C_DRIVE/tamsel-parity-install.txt"
cp "$work/remove.txt" "$C_DRIVE/tamsel-parity-remove.txt"
TAMSEL_UI='script:C:\tamsel-parity-install.txt' wine "$MEDIA_WIN\\Setup.exe" >/dev/null 2>&1 || echo "Setup.exe failed"
describe_wine >"$work/wine-installed.txt"
TAMSEL_UI='script:C:\tamsel-parity-remove.txt' wine "$INSTALL_WIN\\uninstall.exe" >/dev/null 2>&1 || echo "uninstall.exe failed"
wineboot -r >/dev/null 2>&1
for _ in $(seq 100); do [[ -e "$INSTALL" ]] || break; sleep 0.1; done
describe_wine >"$work/wine-removed.txt"
rm -f "$C_DRIVE/tamsel-parity-install.txt" "$C_DRIVE/tamsel-parity-remove.txt"
remove_leftovers

echo "# on the sandbox"
sandbox init >/dev/null
TAMSEL_SANDBOX="$work/sandbox" TAMSEL_UI="script:$work/install.txt" "$host/dist/Setup" >/dev/null 2>&1 || echo "Setup failed"
describe_sandbox >"$work/sandbox-installed.txt"
TAMSEL_UI="script:$work/remove.txt" sandbox run "$INSTALL_WIN\\uninstall.exe" >/dev/null 2>&1 || echo "uninstall.exe failed"
sandbox logon >/dev/null 2>&1 || echo "logon failed"
describe_sandbox >"$work/sandbox-removed.txt"

check_equal "installed: the same registry values, files and shortcuts" \
  "$(cat "$work/sandbox-installed.txt")" "$(cat "$work/wine-installed.txt")"
check "installed: something was installed" grep -q 'StartMenuGroup=REG_SZ=Tamsel Orry' "$work/wine-installed.txt"
check_equal "removed: the same nothing left" "$(cat "$work/sandbox-removed.txt")" "$(cat "$work/wine-removed.txt")"
check_equal "removed: nothing left" "$(grep -v '^\[' "$work/wine-removed.txt")" ''
finish
