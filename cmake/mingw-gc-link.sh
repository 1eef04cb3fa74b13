#!/usr/bin/env bash
# The linker launcher of the Windows build: links a program so that --gc-sections can drop the
# functions nothing calls.
#
# Usage: mingw-gc-link.sh LINK-COMMAND...   (CMake puts it in front of each link command)
#
# Why: ld's default script for 32-bit Windows keeps every .eh_frame input section, and the
# unwind entry of a function refers to the function, so no function that has one is ever
# dropped. Inline functions and template instances, among them the C++ library's string
# members, have their unwind entries in sections of their own: ".eh_frame$NAME" next to
# ".text$NAME" (".eh_frame.unlikely$NAME" next to ".text.unlikely$NAME"). This script links
# with a copy of the default script that keeps those entries only for the functions that are
# kept: a first link keeps none of them and tells (in its map) which functions are live; the
# next keeps the entries of those functions. The links repeat until the entries kept are those
# of every live function, so each function in the program still has its unwind entry and
# exceptions pass through it as before (tests/wine/contract/LinkedUnwindingTest.cpp).
#
# A link that makes a DLL, and one whose ld has a default script of another shape, runs
# unchanged.
set -euo pipefail

output=
previous=
for arg in "$@"; do
  if [[ $arg == -shared ]]; then exec "$@"; fi
  if [[ $previous == -o ]]; then output=$arg; fi
  previous=$arg
done
if [[ -z $output ]]; then exec "$@"; fi

compiler=$1
ld=$("$compiler" -print-prog-name=ld)
default_script=$("$ld" --verbose | sed -n '/^=====/,/^=====/p' | sed '1d;$d')
keep_all_entries='KEEP(*(.eh_frame*))'
if [[ $default_script != *"$keep_all_entries"* ]]; then
  echo "mingw-gc-link: the default linker script of $ld has no '$keep_all_entries';" \
       "linking $output without dropping unused functions" >&2
  exec "$@"
fi

work="$output.gc-link"
rm -rf "$work"
mkdir -p "$work"
script="$work/link.ld"
map="$work/link.map"

# The unwind sections that belong to the sections of single functions in the output
# (".text...$NAME"), read from the part of a map after the list of discarded input sections.
live_unwind_sections() {
  awk '/^Linker script and memory map/ { on = 1 }
       on && /^ \.text[^ ]*\$/ { print ".eh_frame" substr($1, 6) }' "$1" | LC_ALL=C sort -u
}

kept=
for pass in 1 2 3 4 5 6; do
  # One statement, so that the sections stay in the order of their files: the unwinder reads
  # the entries up to the zero word that crtend.o, the last file, puts first in its section.
  keep_entries="KEEP(*(.eh_frame $(tr '\n' ' ' <<<"$kept")))"
  printf '%s\n' "${default_script/"$keep_all_entries"/"$keep_entries"}" >"$script"
  "$@" "-Wl,-T,$script" "-Wl,-Map,$map"
  live=$(live_unwind_sections "$map")
  if [[ $live == "$kept" ]]; then
    rm -rf "$work"
    exit 0
  fi
  kept=$live
done
echo "mingw-gc-link: the functions kept in $output did not settle after $pass links" >&2
exit 1
