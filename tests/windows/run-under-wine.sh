#!/usr/bin/env bash
# Runs one Windows test program under Wine:
#   run-under-wine.sh PROGRAM.exe [ARGUMENTS...]
# Each run gets a Wine prefix of its own, made for it and removed after it:
# the tests work on that prefix's real registry, and a script they start may
# still be waiting in its console when the program ends.
set -euo pipefail

prefix=$(mktemp -d "${TMPDIR:-/tmp}/kw-wine-prefix.XXXXXX")
export WINEPREFIX=$prefix
export WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and their installers would ask.
export WINEDLLOVERRIDES="mscoree,mshtml="

cleanup() {
  # Ends this prefix's processes only, then the prefix itself.
  wineserver -k 2>/dev/null || true
  rm -rf "$prefix"
}
trap cleanup EXIT

wineboot --init >/dev/null 2>&1
status=0
wine "$@" || status=$?
exit "$status"
