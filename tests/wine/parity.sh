#!/usr/bin/env bash
# The programs' own logs on both platforms: runs the black-box tests of Setup and Uninstall on
# the sandbox, keeping every run's TAMSEL_UI_LOG transcript, and compares each with the
# transcript of the same run under Wine (blackbox.sh keeps those). Paths in the user's profile
# (which holds TEMP) are compared from the profile on: Windows spells the folder
# "C:\users\User", the sandbox "C:\Users\User". Z: in the list of drives is left out (see
# normalise). Any other difference fails the test.
#
#   parity.sh HOST_BUILD SESSION_DIR TEST_PROGRAM...
#
# Skipped (status 77) without the Linux build's test programs.
set -uo pipefail
host=${1:?usage: parity.sh HOST_BUILD SESSION_DIR TEST_PROGRAM...}
session=$(realpath -m "$2")
shift 2
wine_transcripts="$session/transcripts/wine"
sandbox_transcripts="$session/transcripts/sandbox"
for program in "$@"; do
  if [[ ! -x "$host/tests/$program" ]]; then
    echo "skipped: $host holds no tests/$program (TAMSEL_HOST_BUILD)"
    exit 77
  fi
done
if [[ ! -d "$wine_transcripts" ]]; then
  echo "FAIL - no transcripts from Wine in $wine_transcripts (the wine_blackbox tests run first)"
  exit 1
fi

rm -rf "$sandbox_transcripts"
for program in "$@"; do
  TAMSEL_TRANSCRIPTS="$sandbox_transcripts" "$host/tests/$program" --gtest_brief=1 >/dev/null ||
    echo "note: $program failed on the sandbox; its own test reports why"
done

# Both machines have a drive Z: for the host's files (where the programs and scripts come from);
# Wine lists it among the drives, the sandbox does not.
normalise() { sed -E 's/C:\\\\[Uu]sers\\\\User/%USERPROFILE%/g; s/,"z:"//g' "$1"; }
failures=0
compared=0
for wine_file in "$wine_transcripts"/*.jsonl; do
  name=$(basename "$wine_file")
  sandbox_file="$sandbox_transcripts/$name"
  if [[ ! -f "$sandbox_file" ]]; then
    echo "FAIL - $name: a run under Wine that the sandbox did not make"
    failures=$((failures + 1))
    continue
  fi
  compared=$((compared + 1))
  if ! difference=$(diff <(normalise "$sandbox_file") <(normalise "$wine_file")); then
    echo "FAIL - $name differs (< sandbox, > Wine):"
    echo "$difference" | sed 's/^/       /'
    failures=$((failures + 1))
  fi
done
for sandbox_file in "$sandbox_transcripts"/*.jsonl; do
  [[ -f "$wine_transcripts/$(basename "$sandbox_file")" ]] && continue
  echo "note - $(basename "$sandbox_file"): no run under Wine (the test is skipped there and says why)"
done
echo "$compared transcripts compared, $failures differences"
[[ $failures -eq 0 && $compared -gt 0 ]]
