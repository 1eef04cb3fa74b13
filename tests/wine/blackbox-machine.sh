#!/usr/bin/env bash
# Makes the Wine machine that each black-box test of Setup and Uninstall copies (WineMachine in
# tests/support): a 32-bit prefix arranged like a new sandbox machine, so that both platforms
# start from the same state.
#
#   blackbox-machine.sh MACHINE_DIR SANDBOX_TOOL
#
# MACHINE_DIR/prefix is the WINEPREFIX; its drives C: and D: are MACHINE_DIR/drives/c and
# MACHINE_DIR/drives/d, where a sandbox machine keeps its drives. Like the sandbox's: the user
# "User" (Wine names the profile after $USER), TEMP in the profile's AppData\Local\Temp, the
# drive labels "System" and "Data", the Start menu group "Accessories" with the sandbox's
# "Notepad.lnk" and its menu-order key, no "Administrative Tools" group, an empty
# "C:\Program Files", the profile's Documents, Desktop, ... as folders of C: (not links).
set -euo pipefail
machine=$(realpath -m "${1:?usage: blackbox-machine.sh MACHINE_DIR SANDBOX_TOOL}")
tool=${2:?usage: blackbox-machine.sh MACHINE_DIR SANDBOX_TOOL}

rm -rf "$machine"
mkdir -p "$machine/drives/d"
export WINEPREFIX="$machine/prefix" WINEARCH=win32 WINEDEBUG=-all USER=User LOGNAME=User
# winemenubuilder.exe reads every shortcut a program saves (to mirror it in the host's menus),
# which can hold a shortcut open just when the uninstaller deletes it; and it writes outside
# the prefix. The machines have no use for it.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wineboot -i </dev/null >"$machine/wineboot.log" 2>&1
wineserver -w

mv "$WINEPREFIX/drive_c" "$machine/drives/c"
ln -s ../drives/c "$WINEPREFIX/drive_c"
ln -sfn ../../drives/c "$WINEPREFIX/dosdevices/c:"
ln -sfn ../../drives/d "$WINEPREFIX/dosdevices/d:"
echo System >"$machine/drives/c/.windows-label"
echo Data >"$machine/drives/d/.windows-label"

# "C:\Program Files" holds nothing on a new sandbox machine.
rm -rf "$machine/drives/c/Program Files/"*

profile="$machine/drives/c/users/User"
# Wine links the profile's Desktop, Documents, Music, ... to the host user's home folder; on a
# sandbox machine they are folders of drive C: like any other. Real folders keep the tests'
# files on the machine's own drive and out of the host's home.
find "$machine/drives/c/users" -type l -print0 | while IFS= read -r -d '' link; do
  rm "$link"
  mkdir "$link"
done
programs="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
rmdir "$programs/Administrative Tools"
mkdir -p "$profile/AppData/Local/Temp" "$programs/Accessories"
reference=$(mktemp -d)
TAMSEL_SANDBOX="$reference/machine" "$tool" init >/dev/null
cp "$(TAMSEL_SANDBOX="$reference/machine" "$tool" path 'C:\Users\User\AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Accessories\Notepad.lnk')" \
  "$programs/Accessories/"
rm -rf "$reference"

printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
  '[HKEY_CURRENT_USER\Environment]' \
  '"TEMP"="C:\\Users\\User\\AppData\\Local\\Temp"' \
  '"TMP"="C:\\Users\\User\\AppData\\Local\\Temp"' '' \
  '[HKEY_USERS\.DEFAULT\Software\Microsoft\Windows\CurrentVersion\Explorer\MenuOrder\Start Menu\&Programs\Accessories]' '' \
  >"$machine/machine.reg"
wine regedit /S "Z:${machine//\//\\}\\machine.reg"
rm "$machine/machine.reg"
wineserver -w
echo "blackbox-machine: ready in $machine"
