#!/usr/bin/env bash
# The resources of the three programs, read with tools that do not share our build: wrestool
# (icoutils) for the manifest and the icon, ExifTool for the version information.
# Usage: resources.sh DIST_DIR VERSION
set -euo pipefail
dist=${1:?usage: resources.sh DIST_DIR VERSION}
version=${2:?usage: resources.sh DIST_DIR VERSION}
for tool in wrestool exiftool; do
  command -v "$tool" >/dev/null || { echo "resources: $tool is missing (scripts/install-deps --windows)" >&2; exit 1; }
done

failures=0
expect() {  # expect DESCRIPTION TEXT PATTERN: the text holds a match of the extended regex
  if grep -Eq -- "$3" <<<"$2"; then echo "ok   - $1"; else echo "FAIL - $1"; failures=$((failures + 1)); fi
}

# Vista, 7, 8, 8.1, 10 and 11.
supported_os=(e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a
              4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78
              8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a)

while read -r program level description; do
  file="$dist/$program"
  echo "# $program"
  manifest=$(wrestool -x --raw -t 24 "$file" 2>/dev/null | tr -d '\r' || true)
  expect "manifest: execution level $level" "$manifest" "requestedExecutionLevel level=\"$level\""
  expect "manifest: system DPI aware" "$manifest" '<dpiAware[^>]*>true</dpiAware>'
  expect "manifest: not per-monitor" "$manifest" '<dpiAwareness[^>]*>system</dpiAwareness>'
  expect "manifest: visual styles (Common Controls 6)" "$manifest" 'name="Microsoft\.Windows\.Common-Controls" version="6\.0\.0\.0"'
  for id in "${supported_os[@]}"; do
    expect "manifest: supportedOS {$id}" "$manifest" "<supportedOS Id=\"\\{$id\\}\"/>"
  done
  info=$(exiftool -s -s -s -ProductName -FileDescription -FileVersion -OriginalFileName "$file")
  expect "version: ProductName" "$info" '^Tamsel Orry$'
  expect "version: FileDescription" "$info" "^$description\$"
  expect "version: FileVersion" "$info" "^${version//./\\.}\$"
  expect "version: OriginalFileName" "$info" "^${program//./\\.}\$"
  expect "an icon" "$(wrestool -l -t 14 "$file" 2>/dev/null || true)" 'type=group_icon'
done <<'PROGRAMS'
Setup.exe requireAdministrator Tamsel Orry Setup
uninstall.exe requireAdministrator Tamsel Orry Uninstall
TamselOrry.exe asInvoker Tamsel Orry
PROGRAMS

if [[ $failures -ne 0 ]]; then echo "$failures check(s) failed"; exit 1; fi
echo "all checks passed"
