#!/usr/bin/env bash
# Installs Tamsel Orry with Setup.exe through its windows, checks the registry, the files and
# both shortcuts, removes it with uninstall.exe from the installation folder, lets the next
# log-on (wineboot -r runs RunOnce) finish, and checks that nothing of the installation remains.
# The prefix is 32-bit (WINEARCH=win32): HKLM\SOFTWARE is checked directly, not WOW6432Node.
source "$(dirname "$0")/lib.sh"
status="$WINEPREFIX/setup.status"

remove_leftovers
make_media

echo "# install"
start_program "$status" "$MEDIA_WIN\\Setup.exe"
uiauto wait "$INSTALLER" >/dev/null
check_equal "the proposed directory" "$(uiauto read "$INSTALLER" 'Static:2')" 'C:\Program Files\Tamsel Orry\'
check_equal "the group text" "$(uiauto read "$INSTALLER" 'ComboBox:1')" 'Tamsel Orry'
check_equal "Change Directory enabled for a new installation" "$(uiauto enabledctl "$INSTALLER" 'Change Directory')" 1

# The directory chooser: the Installer window is disabled while it shows, and OK writes the
# directory back (with its "\").
uiauto click "$INSTALLER" 'Change Directory' wait 'Install To...'
check_equal "Installer disabled while the chooser shows" "$(uiauto enabled "$INSTALLER")" 0
check_equal "the chooser proposes the current target" "$(uiauto read 'Install To...' 'Edit:1')" 'C:\Program Files\Tamsel Orry\'
check_equal "the drive list shows drive C" "$(uiauto read 'Install To...' 'ComboBox:1' | cut -c1-2)" 'c:'
check_equal "the directory list shows the parent's levels" "$(uiauto list 'Install To...' 'ListBox:1' | head -2)" $'C:\\\n  Program Files'
uiauto open 'Install To...' 'ListBox:1' 'C:\'
check_equal "opening the root proposes a folder on it" "$(uiauto read 'Install To...' 'Edit:1')" 'C:\Tamsel Orry\'
uiauto settext 'Install To...' 'Edit:1' 'C:\Program Files\Tamsel Orry' click 'Install To...' OK wait "$INSTALLER"
check_equal "OK ensures the trailing backslash" "$(uiauto read "$INSTALLER" 'Static:2')" 'C:\Program Files\Tamsel Orry\'

uiauto click "$INSTALLER" '&Install'
text=$(uiauto answer 'Tamsel Orry Setup Completed!' '&No' | tr -d '\r')
check_equal "the finish message" "$text" $'Tamsel Orry Setup has finished.\nDo you want to run Tamsel Orry now?'
check_equal "Setup ends normally" "$(wait_status "$status")" 0

check "uninstall.exe installed" cmp -s "$DIST/uninstall.exe" "$INSTALL/uninstall.exe"
check "TamselOrry.exe installed" cmp -s "$DIST/TamselOrry.exe" "$INSTALL/TamselOrry.exe"
expected_uninstall=$(printf '%s\n' 'AppToUninstall=REG_SZ=TamselOrry.exe' 'ApplicationName=REG_SZ=TamselOrry.exe' \
  'DisplayName=REG_SZ=Tamsel Orry' 'UninstallString=REG_SZ=C:\Program Files\Tamsel Orry\uninstall.exe' \
  'InstallFolderCreated=REG_SZ=1' | sort)
check_equal "the uninstall entry" "$(reg_values "$UNINSTALL_KEY")" "$expected_uninstall"
expected_app_paths=$(printf '%s\n' '@=REG_SZ=C:\Program Files\Tamsel Orry\TamselOrry.exe' \
  'Path=REG_SZ=C:\Program Files\Tamsel Orry\' 'StartMenuGroup=REG_SZ=Tamsel Orry' | sort)
check_equal "the App Paths key" "$(reg_values "$APP_PATHS_KEY")" "$expected_app_paths"

for name in 'Tamsel Orry' 'Uninstall Tamsel Orry'; do
  target='C:\Program Files\Tamsel Orry\TamselOrry.exe'
  [[ $name == Uninstall* ]] && target='C:\Program Files\Tamsel Orry\Uninstall.exe'
  expected=$(printf '%s\n' 'Icon index: 0' "Local path: $target" "Description: $name" \
    'Working directory: C:\Program Files\Tamsel Orry\' "Icon location: $target" \
    'Show command: 1' 'Hot key: 0x0000')
  check_equal "shortcut $name.lnk" "$(link_properties "$GROUP/$name.lnk")" "$expected"
done

echo "# remove"
start_program "$status" "$INSTALL_WIN\\uninstall.exe"
uiauto wait "$REMOVER" click "$REMOVER" Yes >/dev/null
text=$(uiauto answer 'Tamsel Orry Uninstall Complete!' OK | tr -d '\r')
check_equal "the completion message" "$text" $'Tamsel Orry Uninstall has completed.\nSome elements could not be deleted now.\nThey will be deleted when you reboot.'
check_equal "Uninstall ends normally" "$(wait_status "$status")" 0
check "the uninstall entry is gone" bash -c "! wine reg query '$UNINSTALL_KEY' >/dev/null 2>&1"
check "the App Paths key is gone" bash -c "! wine reg query '$APP_PATHS_KEY' >/dev/null 2>&1"
check "the group is gone" test ! -e "$GROUP"
check_equal "only uninstall.exe is left" "$(ls "$INSTALL")" uninstall.exe
batch=$(reg_value "$RUNONCE_KEY" 'Tamsel Orry Uninstall')
check_equal "RunOnce names the batch file" "$batch" "\"C:\\users\\$(id -un)\\Temp\\touninst.bat\""

echo "# next log-on"
wineboot -r >/dev/null 2>&1
for _ in $(seq 100); do [[ -e "$INSTALL" ]] || break; sleep 0.1; done
check "the installation folder is gone" test ! -e "$INSTALL"
check "the batch file is gone" test ! -e "$WINE_USER_DIR/Temp/touninst.bat"
check "the RunOnce value is gone" test -z "$(reg_value "$RUNONCE_KEY" 'Tamsel Orry Uninstall')"
rm -rf "$MEDIA"
finish
