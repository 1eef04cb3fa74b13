#!/usr/bin/env bash
# Folder names in any script survive the round trip under Wine: for each row, Setup.exe (played
# by a script, read as UTF-8) installs into a folder and a Start-menu group of that name, with
# TEMP named in the same kind of characters; the registry export shows the exact names; the
# uninstaller started from the recorded "UninstallString" removes both shortcuts; and after the
# next log-on (wineboot -r runs RunOnce, and cmd the batch file) nothing of it is left.
source "$(dirname "$0")/lib.sh"
# Wine takes the arguments and file names of this script as UTF-8.
export LC_ALL=C.UTF-8

PROGRAMS_DIR="$WINE_USER_DIR/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
# what | installation folder below C:\ | Start-menu group | TEMP below C:\
names=(
  'accented|José Café|José Café|Temp é'
  'cyrillic|Программы|Программы|Временные'
  'cjk|游戏|游戏|临时'
  'astral|𝄞 Music|𝄞 Music|Temp 𝄞'
)

# The export of a key as text, one line a value; nothing when the key is missing.
export_key() {
  rm -f "$C_DRIVE/tamsel-names.reg"
  wine regedit /E 'C:\tamsel-names.reg' "${1/#HKLM\\/HKEY_LOCAL_MACHINE\\}" >/dev/null 2>&1 || true
  [[ -f "$C_DRIVE/tamsel-names.reg" ]] || return 0
  iconv -f UTF-16LE -t UTF-8 "$C_DRIVE/tamsel-names.reg" | tr -d '\r' | sed '1s/^\xEF\xBB\xBF//' | grep '^"' || true
}
# An exported string value as text ("C:\\x" in the file is C:\x, \" is ").
exported() { export_key "$1" | sed -n "s/^\"$2\"=\"\\(.*\\)\"\$/\\1/p" | sed 's/\\\(.\)/\1/g'; }

original_temp=$(exported 'HKEY_CURRENT_USER\Environment' TEMP)
remove_leftovers
make_media
printf '%s\n' 'click OKButton' 'answer OK' >"$C_DRIVE/tamsel-names-remove.txt"

for row in "${names[@]}"; do
  IFS='|' read -r what folder group temp <<<"$row"
  echo "# $what"
  install_win="C:\\$folder"
  install="$C_DRIVE/$folder"
  group_dir="$PROGRAMS_DIR/$group"
  rm -rf "$install" "$group_dir" "$C_DRIVE/$temp"
  mkdir -p "$C_DRIVE/$temp"
  wine reg add 'HKCU\Environment' /v TEMP /t REG_SZ /d "C:\\$temp" /f >/dev/null 2>&1

  printf '%s\n' 'click ChangeDirBTN' "set Dir $install_win" 'click OKButton' \
    "set StartMenuGroup $group" 'click OKBTN' 'answer No' >"$C_DRIVE/tamsel-names-install.txt"
  TAMSEL_UI='script:C:\tamsel-names-install.txt' wine "$MEDIA_WIN\\Setup.exe" >/dev/null 2>&1 ||
    echo "Setup.exe failed"
  check_equal "$what: UninstallString" "$(exported "$UNINSTALL_KEY" UninstallString)" "$install_win\\uninstall.exe"
  check_equal "$what: Path" "$(exported "$APP_PATHS_KEY" Path)" "$install_win\\"
  check_equal "$what: StartMenuGroup" "$(exported "$APP_PATHS_KEY" StartMenuGroup)" "$group"
  check "$what: uninstall.exe installed" test -f "$install/uninstall.exe"
  check "$what: both shortcuts made" test -f "$group_dir/Tamsel Orry.lnk" -a -f "$group_dir/Uninstall Tamsel Orry.lnk"

  # Started as "Programs and Features" starts it: the recorded command.
  uninstall_string=$(exported "$UNINSTALL_KEY" UninstallString)
  status=0
  TAMSEL_UI='script:C:\tamsel-names-remove.txt' wine "$uninstall_string" >/dev/null 2>&1 || status=$?
  check_equal "$what: the uninstaller ends normally" "$status" 0
  check "$what: both shortcuts gone" test ! -e "$group_dir/Tamsel Orry.lnk" -a ! -e "$group_dir/Uninstall Tamsel Orry.lnk"
  check_equal "$what: RunOnce names the batch file" "$(exported "$RUNONCE_KEY" 'Tamsel Orry Uninstall')" "\"C:\\$temp\\touninst.bat\""

  wineboot -r >/dev/null 2>&1
  for _ in $(seq 100); do [[ -e "$install" ]] || break; sleep 0.1; done
  check "$what: the installation folder is gone" test ! -e "$install"
  check "$what: the group is gone" test ! -e "$group_dir"
  check "$what: the batch file is gone" test ! -e "$C_DRIVE/$temp/touninst.bat"
  check_equal "$what: no registry entry left" \
    "$(export_key "$UNINSTALL_KEY"; export_key "$APP_PATHS_KEY"; exported "$RUNONCE_KEY" 'Tamsel Orry Uninstall')" ''
  rm -rf "$C_DRIVE/$temp"
done

wine reg add 'HKCU\Environment' /v TEMP /t REG_SZ /d "$original_temp" /f >/dev/null 2>&1
rm -f "$C_DRIVE/tamsel-names-install.txt" "$C_DRIVE/tamsel-names-remove.txt" "$C_DRIVE/tamsel-names.reg"
remove_leftovers
finish
