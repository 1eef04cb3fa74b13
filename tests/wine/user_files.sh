#!/usr/bin/env bash
# The user's files under Windows: a folder named by its 8.3 short name is the folder its long
# name names, so installing there, removing and logging on keep the user's files, and a record
# that names a system folder by its short name still counts as that system folder. A Start-menu
# group that leads out of the Programs folder is refused before anything is written.
source "$(dirname "$0")/lib.sh"
install_script="$C_DRIVE/tamsel-install.txt"
remove_script="$C_DRIVE/tamsel-remove.txt"
log_win='C:\tamsel-log.txt'
log="$C_DRIVE/tamsel-log.txt"
printf '%s\n' 'click OKButton' 'answer OK' >"$remove_script"

short_name() {  # short_name NAME: the 8.3 name of a folder in C:\, as `dir /x` lists it
  wine cmd /c 'dir /x C:\' 2>/dev/null | tr -d '\r' | sed -n "s/^.*<DIR> *\([^ ]*\) *$1\$/C:\\\\\1/p" | head -1
}
log_on() {
  wineboot -r >/dev/null 2>&1
  for _ in $(seq 100); do [[ -z "$(reg_value "$RUNONCE_KEY" 'Tamsel Orry Uninstall')" ]] && break; sleep 0.1; done
}

echo "# an existing folder named by its short name"
remove_leftovers
make_media
long_win='C:\My Own Documents Folder'
long="$C_DRIVE/My Own Documents Folder"
rm -rf "$long"
mkdir -p "$long/old"
printf 'mine' >"$long/notes.txt"
printf 'also mine' >"$long/old/photo.jpg"
short=$(short_name "My Own Documents Folder")
check "the folder has a short name" test "$short" != "$long_win" -a -n "$short"
printf '%s\n' 'click ChangeDirBTN' "set Dir $short" 'click OKButton' 'click OKBTN' 'answer No' >"$install_script"
TAMSEL_UI='script:C:\tamsel-install.txt' wine "$MEDIA_WIN\\Setup.exe" >/dev/null 2>&1 || true
check "installed into the folder" test -f "$long/TamselOrry.exe" -a -f "$long/uninstall.exe"
check_equal "the folder is recorded as one Setup did not make" \
  "$(reg_value "$UNINSTALL_KEY" InstallFolderCreated)" 0
TAMSEL_UI='script:C:\tamsel-remove.txt' wine "$short\\uninstall.exe" >/dev/null 2>&1 || true
log_on
check_equal "the user's files are kept" "$(cd "$long" && find . -type f | sort)" $'./notes.txt\n./old/photo.jpg'
check_equal "and unchanged" "$(cat "$long/notes.txt")" mine
check "the record is gone" bash -c "! wine reg query '$UNINSTALL_KEY' >/dev/null 2>&1"
rm -rf "$long"

echo "# a record that names Program Files by its short name, as made by Setup"
remove_leftovers
program_files_win='C:\Program Files'
program_files="$C_DRIVE/Program Files"
short=$(short_name "Program Files")
check "Program Files has a short name" test "$short" != "$program_files_win" -a -n "$short"
printf 'keep' >"$program_files/keep.txt"
cp "$DIST/TamselOrry.exe" "$program_files/TamselOrry.exe"
cp "$DIST/uninstall.exe" "$program_files/uninstall.exe"
wine reg add "$UNINSTALL_KEY" /v UninstallString /d "$short\\uninstall.exe" /f >/dev/null 2>&1
wine reg add "$UNINSTALL_KEY" /v InstallFolderCreated /d 1 /f >/dev/null 2>&1
wine reg add "$APP_PATHS_KEY" /v Path /d "$short\\" /f >/dev/null 2>&1
wine reg add "$APP_PATHS_KEY" /v StartMenuGroup /d 'Tamsel Orry' /f >/dev/null 2>&1
TAMSEL_UI='script:C:\tamsel-remove.txt' wine "$short\\uninstall.exe" >/dev/null 2>&1 || true
log_on
check "the folder's own file is kept" test -f "$program_files/keep.txt"
check "the installed files are gone" test ! -e "$program_files/TamselOrry.exe" -a ! -e "$program_files/uninstall.exe"
check "Program Files stays" test -d "$program_files/Common Files"
rm -f "$program_files/keep.txt"

echo "# a group that leads out of the Programs folder"
remove_leftovers
make_media
rm -f "$log"
printf '%s\n' 'set StartMenuGroup ../Evil' 'click OKBTN' 'answer OK' >"$install_script"
status=0
TAMSEL_UI='script:C:\tamsel-install.txt' TAMSEL_UI_LOG="$log_win" wine "$MEDIA_WIN\\Setup.exe" >/dev/null 2>&1 || status=$?
check_equal "Setup ends with status 1" "$status" 1
check "the report gives error 52" grep -q '52' "$log"
check "no folder was made" test ! -e "$INSTALL"
check "no group was made" test ! -e "$WINE_USER_DIR/AppData/Roaming/Microsoft/Windows/Start Menu/Evil"
check "no uninstall entry" bash -c "! wine reg query '$UNINSTALL_KEY' >/dev/null 2>&1"
check "no App Paths key" bash -c "! wine reg query '$APP_PATHS_KEY' >/dev/null 2>&1"

remove_leftovers
rm -f "$install_script" "$remove_script" "$log"
finish
