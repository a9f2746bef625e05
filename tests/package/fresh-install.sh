#!/bin/bash
# The package on a fresh Debian 12, as a user meets it: a minimal system made
# with debootstrap, `apt install ./kestrelwork_*.deb`, then the menu entry's
# command started under Xvfb. The driver plugin (tests/package) opens a
# hello-world and presses Compile; the real xterm the package depends on
# runs the build through the installed interpreter, and a key pressed in it
# closes it. Then the package is purged and must leave nothing behind, and
# last a plain Release build of the project's committed tree (git archive
# HEAD) must compile there with only the build dependencies installed.
#
# Usage, as root from the project's checkout, holding the build lock:
#   flock /tmp/kw-build.lock tests/package/fresh-install.sh kestrelwork_*.deb out/build/tests/package/plugins
# The base system is kept in /tmp/kw-fresh-install/base.tar between runs.
set -euo pipefail
package=$(realpath "$1")
plugins=$(realpath "$2")
project=$PWD
top=/tmp/kw-fresh-install
base=$top/base.tar
root=$top/root
log=$top/log
mkdir -p "$top"
: >"$log"

step() { echo "== $*" | tee -a "$log"; }
in_root() { # command...
  chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"
}

if [ ! -f "$base" ]; then
  step "making a minimal Debian 12 with debootstrap"
  mirror=$(awk '/^URIs:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources)
  rm -rf "$top/b"
  debootstrap --variant=minbase bookworm "$top/b" "$mirror" >>"$log" 2>&1
  tar -C "$top/b" -cf "$base" . && rm -rf "$top/b"
fi

unmount() { for m in dev/pts dev proc sys; do umount -l "$root/$m" 2>/dev/null || true; done; }
unmount
rm -rf "$root" && mkdir -p "$root" && tar -C "$root" -xf "$base"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp /etc/apt/sources.list.d/debian.sources "$root/etc/apt/sources.list.d/" && rm -f "$root/etc/apt/sources.list"
mount -t proc proc "$root/proc"; mount --rbind /sys "$root/sys"; mount --rbind /dev "$root/dev"
trap unmount EXIT

step "apt install ./$(basename "$package")"
cp "$package" "$root/root/"
in_root apt-get update -q >>"$log" 2>&1
SECONDS=0
in_root bash -c "cd /root && apt-get install -y -q ./$(basename "$package")" >"$top/install.log" 2>&1
echo "installed in $SECONDS s; $(grep -c '^Setting up' "$top/install.log") packages set up" | tee -a "$log"
in_root dpkg-query -W -f='${Version} ${Status}\n' kestrelwork | tee -a "$log"
in_root dpkg -L kestrelwork >"$top/files"

step "starting the menu entry's command under Xvfb, Compile pressed through the driver"
# The check's own tools, installed after the package so that they cannot
# have supplied anything the package needs.
in_root apt-get install -y -q --no-install-recommends xvfb xdotool libqt6test6 >>"$log" 2>&1
mkdir -p "$root/root/driver" "$root/root/project" "$root/root/.config/kestrelwork"
cp -r "$plugins/generic" "$root/root/driver/"
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork]\r\n"PCCompiler"="/usr/bin"\r\n\r\n' \
  >"$root/root/.config/kestrelwork/registry.reg"
printf '#include <iostream>\n\nint main()\n{\n    std::cout << "Hello from Debian\\n";\n}\n' >"$root/root/project/hello.cpp"
cat >"$root/root/run.sh" <<'RUN'
#!/bin/bash
set -u
desktop=/usr/share/applications/org.kestrelwork.kestrelwork.desktop
command=$(sed -n 's/^Exec=//p' "$desktop")
echo "menu entry's command: '$command', found at $(command -v "$command")"
mkdir -p -m 700 /tmp/runtime-root
Xvfb :7 -screen 0 1280x1024x24 >/tmp/xvfb.log 2>&1 &
xvfb=$!
sleep 1
export DISPLAY=:7 XDG_RUNTIME_DIR=/tmp/runtime-root
cd /root
QT_PLUGIN_PATH=/root/driver QT_QPA_GENERIC_PLUGINS=kwpackagedriver \
  KW_DRIVE_SOURCE=/root/project/hello.cpp KW_DRIVE_DONE=/root/terminal-closed \
  sh -c "$command" >/root/program.log 2>&1 &
program=$!
terminal=
for _ in $(seq 1 600); do
  terminal=$(xdotool search --name '^/root/project/Batch.bat$' 2>/dev/null | head -n 1)
  [ -n "$terminal" ] && [ -x /root/project/hello.cpp.exe ] && break
  sleep 0.2
done
echo "terminal window: '$(xdotool getwindowname "$terminal" 2>/dev/null)'"
for pid in /proc/[0-9]*; do
  args=$(tr '\0' ' ' <"$pid/cmdline" 2>/dev/null) || continue
  case "$args" in *kestrelwork-cmd*) echo "running in it: $args";; esac
done
sleep 1
# xterm ignores keys sent to it as events; the key is typed into the
# focused window, as from a keyboard.
echo "a key pressed in the terminal"
xdotool windowfocus "$terminal"
sleep 0.3
xdotool key space
for _ in $(seq 1 100); do
  xdotool search --name '^/root/project/Batch.bat$' >/dev/null 2>&1 || break
  sleep 0.2
done
xdotool search --name '^/root/project/Batch.bat$' >/dev/null 2>&1 && echo "the terminal is still open" || echo "the terminal closed"
touch /root/terminal-closed
wait "$program"
echo "program exit status: $?"
kill "$xvfb"
echo "built program says: $(/root/project/hello.cpp.exe)"
RUN
in_root bash /root/run.sh 2>&1 | tee -a "$log"
grep -q '^built program says: Hello from Debian$' "$log"
grep -q '^running in it: /usr/libexec/kestrelwork/kestrelwork-cmd /root/project/Batch.bat' "$log"
grep -q '^program exit status: 0$' "$log"

step "apt purge kestrelwork"
in_root apt-get purge -y -q kestrelwork >>"$log" 2>&1
left=0
while read -r file; do
  if [ ! -d "$root$file" ] && [ -e "$root$file" ]; then echo "left behind: $file" | tee -a "$log"; left=1; fi
done <"$top/files"
[ -e "$root/usr/libexec/kestrelwork" ] && { echo "left behind: /usr/libexec/kestrelwork" | tee -a "$log"; left=1; }
[ "$left" -eq 0 ] && echo "nothing of the package is left" | tee -a "$log"

step "a plain Release build of the committed tree"
in_root apt-get install -y -q --no-install-recommends cmake ninja-build g++ pkg-config \
  qt6-base-dev qt6-svg-dev libgl-dev libx11-dev >>"$log" 2>&1
rm -rf "$root/root/src" && mkdir -p "$root/root/src"
git -C "$project" archive HEAD | tar -C "$root/root/src" -xf -
SECONDS=0
status=0
in_root bash -c "cd /root/src && cmake -S . -B out/rel -G Ninja -DCMAKE_BUILD_TYPE=Release && CMAKE_BUILD_PARALLEL_LEVEL=2 cmake --build out/rel" \
  >"$top/build.log" 2>&1 || status=$?
echo "plain Release build: exit $status after $SECONDS s, $(grep -c 'warning:' "$top/build.log") warnings" | tee -a "$log"
[ "$status" -eq 0 ] && [ "$left" -eq 0 ]
