#!/usr/bin/env bash
# Checks that the include graph reads one way, from the programs down to the platform:
#
#   setup/, uninstall/          the programs
#   frontend/                   the front ends the programs are started with
#   common/                     the shared modules
#   platform/*.h, platform/*.cpp  the platform interfaces and what they promise (RuntimeError)
#   platform/sandbox/, platform/win32/  the platform implementations, beside each other
#
# A file may include (with #include "...") only files of its own folder and of the folders this
# table gives it:
#
#   platform/ (its own files)   platform/*.h
#   platform/sandbox/**         platform/*.h, platform/sandbox/**
#   platform/win32/**           platform/*.h, platform/win32/**
#   common/**                   platform/*.h, common/**
#   frontend/**                 platform/*.h, common/**, frontend/**; frontend/win32/** also
#                               platform/win32/** (the native windows use its text and headers)
#   setup/**                    platform/*.h, common/**, setup/**, frontend/*.h (the program entry)
#   uninstall/**                platform/*.h, common/**, uninstall/**, frontend/*.h
#   tools/tamsel-sandbox/**     platform/*.h, common/**, platform/sandbox/**, tools/tamsel-sandbox/**
#
# So no lower folder includes a higher one, the two platform implementations never include each
# other, and the two programs never include each other. An include without a folder names a file
# of the including file's own folder. Includes with <...> (libraries, the system) are not checked.
#
# Usage: include-layers.sh SOURCE-FOLDER
set -euo pipefail -o noglob
cd "$1"

# The include patterns (shell globs) that a file in the given folder may use.
allowed() {
  local interfaces='platform/[^/]*.h'
  case $1 in
    platform/sandbox/*) echo "$interfaces platform/sandbox/*" ;;
    platform/win32/*) echo "$interfaces platform/win32/*" ;;
    platform/*) echo "$interfaces" ;;
    common/*) echo "$interfaces common/*" ;;
    frontend/win32/*) echo "$interfaces common/* frontend/* platform/win32/*" ;;
    frontend/*) echo "$interfaces common/* frontend/*" ;;
    setup/*) echo "$interfaces common/* setup/* frontend/[^/]*.h" ;;
    uninstall/*) echo "$interfaces common/* uninstall/* frontend/[^/]*.h" ;;
    tools/tamsel-sandbox/*) echo "$interfaces common/* platform/sandbox/* tools/tamsel-sandbox/*" ;;
  esac
}

status=0
checked=0
while IFS= read -r file; do
  patterns=$(allowed "$file")
  while IFS= read -r included; do
    [[ -z $included ]] && continue
    [[ $included != */* ]] && included="$(dirname "$file")/$included"
    ok=0
    for pattern in $patterns; do
      # A pattern with [^/] names files directly in its folder; * reaches every level below.
      if [[ $pattern == *'[^/]'* ]]; then
        [[ $included =~ ^${pattern//./\\.}$ ]] && ok=1
      else
        # shellcheck disable=SC2053
        [[ $included == $pattern ]] && ok=1
      fi
    done
    if [[ $ok -eq 0 ]]; then
      echo "$file includes $included, which its layer may not use" >&2
      status=1
    fi
    checked=$((checked + 1))
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^"]+)".*/\1/p' "$file")
done < <(find platform common frontend setup uninstall tools/tamsel-sandbox \
           \( -name '*.h' -o -name '*.cpp' \) | sort)
[[ $status -eq 0 ]] && echo "the include graph reads one way ($checked includes checked)"
exit $status
