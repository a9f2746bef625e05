#!/usr/bin/env bash
# Runs one Windows test program under Wine; CTest calls it for each of them:
#   run-under-wine.sh PROGRAM.exe [ARGUMENTS...]
# Each run gets a Wine prefix of its own, made for it and removed after it:
# the tests work on that prefix's real registry, and a script they start may
# still be waiting in its console when the program ends. Console windows open
# on an X server of the run's own, so none shows on the user's desktop.
set -euo pipefail

scratch=$(mktemp -d "${TMPDIR:-/tmp}/kw-wine.XXXXXX")
export HOME=$scratch/home WINEPREFIX=$scratch/prefix
export WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and their installers would ask.
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir "$HOME"

# Windows programs run as an ordinary user there. As root under Wine they
# could write read-only files, so root hands the run to nobody, when nobody
# can reach the program and the folder it runs in.
as_user() { "$@"; }
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
  drop=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  if "${drop[@]}" test -r "$1" -a -x "$PWD"; then
    chown nobody:nogroup "$scratch" "$HOME"
    as_user() { "${drop[@]}" "$@"; }
  fi
fi

xvfb_pid=
cleanup() {
  as_user wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT

if command -v Xvfb >/dev/null; then
  # Xvfb picks a free display itself and writes its number once it is ready.
  Xvfb -displayfd 3 -nolisten tcp -screen 0 800x600x24 3>"$scratch/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 300); do
    [ -s "$scratch/display" ] && break
    sleep 0.1
  done
  if [ -s "$scratch/display" ]; then
    DISPLAY=:$(head -n 1 "$scratch/display")
    export DISPLAY
  fi
fi

as_user wineboot --init >/dev/null 2>&1
status=0
as_user wine "$@" || status=$?
exit "$status"
