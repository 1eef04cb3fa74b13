#!/usr/bin/env bash
# What Windows users expect of native programs: answering "Yes" after an installation into
# "C:\Program Files\Tamsel Orry\" starts the installed program, not one planted at
# "C:\Program.exe"; Enter on the uninstaller's window as it opens presses the focused "Yes",
# and Esc answers "No".
source "$(dirname "$0")/lib.sh"
status="$WINEPREFIX/native.status"
planted="$C_DRIVE/Program.exe"

remove_leftovers
make_media
# The application and the planted program are both the marker, which leaves "<its path>.ran".
cp "$TOOLS/marker.exe" "$MEDIA/TamselOrry.exe"
cp "$TOOLS/marker.exe" "$planted"
rm -f "$planted.ran"

echo "# Yes starts the installed program"
start_program "$status" "$MEDIA_WIN\\Setup.exe"
uiauto wait "$INSTALLER" click "$INSTALLER" '&Install' >/dev/null
uiauto answer 'Tamsel Orry Setup Completed!' '&Yes' >/dev/null
check_equal "Setup ends normally" "$(wait_status "$status")" 0
for _ in $(seq 100); do [[ -e "$INSTALL/TamselOrry.exe.ran" ]] && break; sleep 0.1; done
check "the installed program ran" test -e "$INSTALL/TamselOrry.exe.ran"
check "the program planted at C:\\Program.exe did not run" test ! -e "$planted.ran"

echo "# Esc on the uninstaller's window answers No"
start_program "$status" "$INSTALL_WIN\\uninstall.exe"
uiauto wait "$REMOVER" press "$REMOVER" escape >/dev/null
check_equal "Uninstall ends normally" "$(wait_status "$status")" 0
check "nothing was removed" reg_key_exists "$APP_PATHS_KEY"

echo "# Enter on the uninstaller's window as it opens presses Yes"
start_program "$status" "$INSTALL_WIN\\uninstall.exe"
uiauto wait "$REMOVER" press "$REMOVER" enter >/dev/null
text=$(uiauto answer 'Tamsel Orry Uninstall Complete!' OK)
check_equal "the completion message" "$text" $'Tamsel Orry Uninstall has completed.\nSome elements could not be deleted now.\nThey will be deleted when you reboot.'
check_equal "Uninstall ends normally" "$(wait_status "$status")" 0
check "the App Paths key is gone" bash -c "! wine reg query '$APP_PATHS_KEY' >/dev/null 2>&1"

remove_leftovers
rm -f "$planted" "$planted.ran" "$WINE_USER_DIR/Temp/touninst.bat"
finish
