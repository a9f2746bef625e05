#!/usr/bin/env bash
# Starts the real program under Xvfb and photographs its windows: the splash,
# the main window, the main menu, the About window, the Editor Options and
# the Compiler Options dialogs, the last three opened through the menu on
# the console picture.
#   tests/screenshots.sh BUILD_FOLDER [SHOT_FOLDER]   (default /tmp/kw-shots)
# Needs Xvfb, xdotool, xwininfo and ImageMagick's import.
set -euo pipefail

build=${1:?usage: tests/screenshots.sh BUILD_FOLDER [SHOT_FOLDER]}
shots=${2:-/tmp/kw-shots}
program=$build/bin/kestrelwork
[ -x "$program" ] || { echo "no program at $program" >&2; exit 2; }
mkdir -p "$shots"

# A display of our own, and a configuration folder of our own so the user's
# hive is not touched.
display=:$((90 + RANDOM % 400))
while [ -e "/tmp/.X11-unix/X${display#:}" ]; do display=:$((90 + RANDOM % 400)); done
config=$(mktemp -d)
xvfb_pid= program_pid=
finish() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$config"
}
trap finish EXIT

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done

# Waits until a visible window of the program with the given client size
# appears; prints its id. (The splash carries the program's name as the main
# window does, so sizes tell the windows apart.)
wait_window() { # WIDTHxHEIGHT
  local id
  for _ in $(seq 200); do
    for id in $(xdotool search --onlyvisible --pid "$program_pid" '' 2>/dev/null || true); do
      if xdotool getwindowgeometry "$id" 2>/dev/null | grep -q "Geometry: $1\$"; then
        echo "$id"
        return
      fi
    done
    sleep 0.05
  done
  echo "no window of $1" >&2
  exit 1
}

# The window's own picture, and the screen around it (which shows its shape).
shoot() { # window-id name
  sleep 0.3  # let it finish painting
  import -window "$1" "$shots/$2.png"
  local x y w h
  eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X/{print "x="$4} /Absolute upper-left Y/{print "y="$4} /Width/{print "w="$2} /Height/{print "h="$2}')"
  import -window root -crop "$((w + 20))x$((h + 20))+$((x - 10))+$((y - 10))" +repage "$shots/$2-on-screen.png"
  echo "$shots/$2.png (${w}x${h} at $x,$y)"
}

# Right-clicks the console picture of the main window and picks the menu
# entry `downs` steps from the top.
choose_from_menu() { # main-window-id downs
  xdotool mousemove --window "$1" 20 10 click 3
  sleep 0.4
  local keys=()
  for _ in $(seq "$2"); do keys+=(Down); done
  xdotool key --delay 60 "${keys[@]}" Return
}

XDG_CONFIG_HOME=$config "$program" &
program_pid=$!

# The splash is the program's only window for its two seconds.
splash=$(wait_window 465x122)
shoot "$splash" splash

main=$(wait_window 664x460)
shoot "$main" main-window

xdotool mousemove --window "$main" 20 10 click 3
sleep 0.4
import -window root -crop 320x300+"$(xwininfo -id "$main" | awk '/Absolute upper-left X/{print $4}')"+"$(xwininfo -id "$main" | awk '/Absolute upper-left Y/{print $4}')" +repage "$shots/main-menu.png"
echo "$shots/main-menu.png"
xdotool key Escape
sleep 0.2

# "About" is the seventh entry (the separators are skipped).
choose_from_menu "$main" 7
about=$(wait_window 483x222)
shoot "$about" about
# Its Close button, at 200, 184, 75 x 25.
xdotool mousemove --window "$about" 237 196 click 1
sleep 0.3
xwininfo -id "$about" 2>/dev/null | grep -q 'IsViewable' && { echo "About did not close" >&2; exit 1; }

# "Editor Options" is the second entry.
choose_from_menu "$main" 2
options=$(wait_window 377x250)
shoot "$options" editor-options
# Tick the first box and show the second page, as a user would.
xdotool mousemove --window "$options" 20 37 click 1
sleep 0.2
shoot "$options" editor-options-ticked

# Without a window manager nothing can send a dialog its close command, so
# the Compiler Options dialog gets a run of the program of its own.
kill "$program_pid"
wait "$program_pid" 2>/dev/null || true
XDG_CONFIG_HOME=$config "$program" &
program_pid=$!
main=$(wait_window 664x460)

# "Enviroment Options" is the first entry; its GP2X page shows first.
choose_from_menu "$main" 1
compiler=$(wait_window 435x327)
shoot "$compiler" compiler-options
# The PC page, with its captioned folder buttons.
xdotool mousemove --window "$compiler" 60 10 click 1
sleep 0.2
shoot "$compiler" compiler-options-pc
