#!/usr/bin/env bash
# Takes the README's pictures of the native windows under Wine, with Wine's own fonts, in a Wine
# virtual desktop (so that Wine draws the window frames as Windows does) at 96 dpi.
# Usage: tests/wine/screenshots.sh DIST_DIR TOOLS_DIR OUT_DIR
#   run inside a session: tests/wine/wine-session.sh run SESSION tests/wine/screenshots.sh \
#     build/windows/dist build/windows/tests/wine docs/screenshots
source "$(dirname "$0")/lib.sh"
out=$(realpath "${3:?usage: screenshots.sh DIST_DIR TOOLS_DIR OUT_DIR}")
status="$WINEPREFIX/shots.status"

wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 640x400 /f >/dev/null
wineserver -k || true   # the desktop setting takes effect for the processes started next

shot() {  # shot NAME: the virtual desktop, cut to what is not its background
  sleep 0.5
  import -window root -crop 640x400+0+0 +repage "$WINEPREFIX/desktop.png"
  convert "$WINEPREFIX/desktop.png" -trim +repage "$out/$1-wine.png"
  echo "$out/$1-wine.png"
}

remove_leftovers
make_media
start_program "$status" "$MEDIA_WIN\\Setup.exe"
uiauto wait "$INSTALLER" >/dev/null
shot installer
uiauto click "$INSTALLER" 'Change Directory' wait 'Install To...' >/dev/null
shot install-to
uiauto click 'Install To...' Cancel wait "$INSTALLER" click "$INSTALLER" '&Install' >/dev/null
uiauto wait 'Tamsel Orry Setup Completed!' >/dev/null 2>&1 || true
shot setup-completed
uiauto answer 'Tamsel Orry Setup Completed!' '&No' >/dev/null
wait_status "$status" >/dev/null

start_program "$status" "$INSTALL_WIN\\uninstall.exe"
uiauto wait "$REMOVER" >/dev/null
shot uninstall
uiauto click "$REMOVER" Yes >/dev/null
uiauto wait 'Tamsel Orry Uninstall Complete!' >/dev/null 2>&1 || true
shot uninstall-completed
uiauto answer 'Tamsel Orry Uninstall Complete!' OK >/dev/null
wait_status "$status" >/dev/null
remove_leftovers
wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 || true
