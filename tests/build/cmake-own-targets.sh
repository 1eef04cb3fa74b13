#!/usr/bin/env bash
# Checks that each folder's CMakeLists.txt sets only the targets it makes itself: every
# target_*(), set_target_properties(), add_dependencies() and set_property(TARGET ...) names a
# target that the same file adds (add_executable, add_library, add_custom_target), a test
# program that tests/CMakeLists.txt makes with its function, or a target of the GoogleTest
# project that tests/wine adds. A target named through a variable is not checked.
#
# Usage: cmake-own-targets.sh SOURCE-FOLDER
set -euo pipefail
cd "$1"
status=0
while IFS= read -r file; do
  made=$(grep -oE '^\s*add_(executable|library|custom_target)\(\s*[A-Za-z0-9_.-]+' "$file" |
         sed -E 's/.*\(\s*//' || true)
  if grep -q 'add_subdirectory(/usr/src/googletest' "$file"; then made+=$'\ngtest\ngtest_main'; fi
  while IFS= read -r target; do
    [[ -z $target || $target == \$* ]] && continue
    if grep -qxF -- "$target" <<<"$made"; then continue; fi
    if [[ $file == tests/CMakeLists.txt && $target =~ ^(unit|integration)_[a-z_]+_tests$ ]]; then
      continue
    fi
    echo "$file sets the target $target, which another folder makes" >&2
    status=1
  done < <(grep -oE '^\s*(target_[a-z_]+|set_target_properties|add_dependencies)\(\s*[^ )]+|set_property\(TARGET\s+[^ )]+' "$file" |
           sed -E 's/.*(\(|TARGET)\s*//')
done < <(find . -name CMakeLists.txt -not -path './build*' | sed 's|^\./||' | sort)
[[ $status -eq 0 ]] && echo "each CMakeLists.txt sets only its own targets"
exit $status
