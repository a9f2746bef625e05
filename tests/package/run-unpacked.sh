#!/bin/bash
# The Debian package's contents, unpacked into a temporary root as dpkg
# would install them, must run as they are: the program starts (offscreen),
# and Compile runs the interpreter from the package's libexec folder, which
# builds a hello-world with the system's g++.
# Usage: run-unpacked.sh PACKAGE.deb DRIVER_PLUGIN_FOLDER
set -euo pipefail
package=$1
plugins=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
dpkg-deb -x "$package" "$root"
program=$root/usr/bin/kestrelwork
interpreter=$root/usr/libexec/kestrelwork/kestrelwork-cmd
for file in "$program" "$interpreter"; do
  [ -x "$file" ] || { echo "not in the package: ${file#"$root"}"; exit 1; }
done

# The toolchain settings: the system's compilers for the PC target.
mkdir -p "$work/config/kestrelwork" "$work/project" "$work/bin"
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork]\r\n"PCCompiler"="/usr/bin"\r\n\r\n' \
  >"$work/config/kestrelwork/registry.reg"
cat >"$work/project/hello.cpp" <<'SOURCE'
#include <iostream>

int main()
{
    std::cout << "Hello from the package\n";
}
SOURCE

# The terminal window, stood in for by a script first on PATH: it keeps how
# it was called and what the interpreter printed, gives it no keyboard (so
# pause ends at once), and marks the end.
cat >"$work/bin/x-terminal-emulator" <<'TERMINAL'
#!/bin/sh
printf '%s\n' "$@" >"$KW_CHECK_DIR/terminal-arguments"
shift 3
"$@" >"$KW_CHECK_DIR/terminal-output" 2>&1 </dev/null
echo $? >"$KW_CHECK_DIR/terminal-done"
TERMINAL
chmod +x "$work/bin/x-terminal-emulator"

status=0
(cd "$work" && env -i HOME="$work" PATH="$work/bin:/usr/bin:/bin" LANG=C.UTF-8 \
  XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen \
  QT_PLUGIN_PATH="$plugins" QT_QPA_GENERIC_PLUGINS=kwpackagedriver \
  KW_DRIVE_SOURCE="$work/project/hello.cpp" KW_DRIVE_DONE="$work/terminal-done" KW_CHECK_DIR="$work" \
  timeout 120 "$program") || status=$?

fail() {
  echo "FAILED: $*"
  for file in terminal-arguments terminal-output; do
    [ -f "$work/$file" ] && { echo "--- $file"; cat "$work/$file"; }
  done
  exit 1
}
[ "$status" -eq 0 ] || fail "the program ended with status $status"
[ -f "$work/terminal-arguments" ] || fail "Compile started no terminal"
called=$(sed -n 4p "$work/terminal-arguments")
[ "$called" = "$interpreter" ] || fail "the terminal ran '$called', not the packaged interpreter"
[ "$(sed -n 5p "$work/terminal-arguments")" = "$work/project/Batch.bat" ] || fail "the terminal was not given the build script"
grep -q 'g++' "$work/terminal-output" || fail "the interpreter did not echo the compile line"
[ -x "$work/project/hello.cpp.exe" ] || fail "no program was built"
greeting=$("$work/project/hello.cpp.exe")
[ "$greeting" = "Hello from the package" ] || fail "the built program printed '$greeting'"
echo "The unpacked package started, ran ${called#"$root"} and built hello.cpp.exe with g++."
