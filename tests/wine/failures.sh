#!/usr/bin/env bash
# The failures Wine can produce for real: Setup started without "uninstall.exe" next to it, and
# a file of the installation that another process holds open while Uninstall removes it. Each
# stops the program at the failing step with the error's number and description, and leaves
# what was done before.
source "$(dirname "$0")/lib.sh"
status="$WINEPREFIX/program.status"
install_script="$C_DRIVE/tamsel-install.txt"

echo "# uninstall.exe missing next to Setup"
remove_leftovers
make_media
rm "$MEDIA/uninstall.exe"
start_program "$status" "$MEDIA_WIN\\Setup.exe"
uiauto click "$INSTALLER" '&Install' >/dev/null
check_equal "the failure report" "$(uiauto answer 'Tamsel Orry Setup' OK)" 'Error 53: File not found'
check_equal "Setup ends with status 1" "$(wait_status "$status")" 1
check "the directory was created" test -d "$INSTALL"
check_equal "nothing was copied" "$(ls -A "$INSTALL")" ''
check "the registry is untouched" bash -c "! wine reg query '$UNINSTALL_KEY' >/dev/null 2>&1"

echo "# a file in use during removal"
remove_leftovers
make_media
printf 'click OKBTN\nanswer No\n' >"$install_script"
TAMSEL_UI='script:C:\tamsel-install.txt' wine "$MEDIA_WIN\\Setup.exe" >/dev/null 2>&1
check "installed" test -f "$INSTALL/TamselOrry.exe"
holder_log="$WINEPREFIX/holder.log"
(wine "$TOOLS/uiauto.exe" hold "$INSTALL_WIN\\TamselOrry.exe" 60 >"$holder_log" 2>&1 || true) &
holder=$!
for _ in $(seq 100); do grep -q holding "$holder_log" 2>/dev/null && break; sleep 0.1; done
start_program "$status" "$INSTALL_WIN\\uninstall.exe"
uiauto wait "$REMOVER" click "$REMOVER" Yes >/dev/null
check_equal "the failure report" "$(uiauto answer Uninstall OK)" 'Error 70: Permission denied'
check_equal "Uninstall ends with status 1" "$(wait_status "$status")" 1
check "the App Paths key stays for a second run" reg_key_exists "$APP_PATHS_KEY"
check "the uninstall entry stays" reg_key_exists "$UNINSTALL_KEY"
check "the shortcuts are gone" test ! -e "$GROUP/Tamsel Orry.lnk" -a ! -e "$GROUP/Uninstall Tamsel Orry.lnk"
check "the file in use stays" test -f "$INSTALL/TamselOrry.exe"
check_equal "no batch file is registered" "$(reg_value "$RUNONCE_KEY" 'Tamsel Orry Uninstall')" ''
# The holder is a wine process of this test; ending it releases the file.
pkill -P "$holder" >/dev/null 2>&1 || true
kill "$holder" >/dev/null 2>&1 || true
{ wait "$holder"; } 2>/dev/null || true
# Run again, the uninstaller finishes the removal.
start_program "$status" "$INSTALL_WIN\\uninstall.exe"
uiauto wait "$REMOVER" click "$REMOVER" Yes >/dev/null
uiauto answer 'Tamsel Orry Uninstall Complete!' OK >/dev/null
check_equal "the second run ends normally" "$(wait_status "$status")" 0
check "the record is gone" bash -c "! wine reg query '$UNINSTALL_KEY' >/dev/null 2>&1"
check_equal "only uninstall.exe is left" "$(ls "$INSTALL")" uninstall.exe
remove_leftovers
rm -f "$install_script" "$holder_log"
finish
