#!/usr/bin/env bash
# Installs Kelvadiag-setup.exe silently into the running wine prefix, finds every file, the
# Start-menu entry and the registry values, starts the installed Kelvadiag.exe and ends it with
# the installed kelvapost, then uninstalls silently and finds nothing left but the user's setting.
# Usage: install_and_uninstall.sh <Kelvadiag-setup.exe> <wine>
set -euo pipefail

setup=$1
wine=$2
passed=0
failures=0
check() {  # check <what> <command...>: one line per check
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
    passed=$((passed + 1))
  else
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
}
unix() { winepath -u "$1" 2>/dev/null; }
registry_value() {  # registry_value <key> <name>: the value's data, nothing when it is missing
  "$wine" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
# Waits up to 30 s for a command to succeed.
wait_for() {
  for _ in $(seq 300); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

settings='HKLM\SOFTWARE\Kelvadiag'
uninstall='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Kelvadiag'
folder='C:\Program Files\Tavrick\Kelvadiag'
dir=$(unix "$folder")
menu=$(unix 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Kelvadiag')
files=(Kelvadiag.exe Kelvalib.dll Cyclenic64.exe Plantdrv64.exe Kelvacapture.exe kelvactl.exe kelvalist.exe
  kelvapost.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll Uninstall.exe)

# A user's setting from an earlier installation, which neither step may touch.
"$wine" reg add "$settings" /v ShowTrayIcon /t REG_SZ /d 0 /f >/dev/null 2>&1

"$wine" "$setup" /S
for f in "${files[@]}"; do check "installed $f" test -f "$dir/$f"; done
check "Start-menu entry" test -f "$menu/Kelvadiag.lnk"
check "AppDir names the folder" test "$(registry_value "$settings" AppDir)" = "$folder"
check "uninstaller registered" test -n "$(registry_value "$uninstall" UninstallString)"

# The installed command line runs beside Kelvalib.dll (without the protocol driver it can still
# say its version).
quiet() { "$@" </dev/null >/dev/null 2>&1; }
check "installed kelvactl.exe runs" quiet "$wine" "$folder\\kelvactl.exe" --version

# The installed program runs from its folder and ends on the quit request.
(cd "$dir" && exec "$wine" "$folder\\Kelvadiag.exe" </dev/null >/dev/null 2>&1) &
program=$!
post() { "$wine" "$folder\\kelvapost.exe" "$@" </dev/null >/dev/null 2>&1; }
check "installed Kelvadiag.exe shows its window" wait_for post 0x0000
check "installed kelvapost ends it" post quit
if wait_for bash -c "! kill -0 $program 2>/dev/null"; then
  check "Kelvadiag.exe ended with exit code 0" wait "$program"
else
  check "Kelvadiag.exe ended" false
  kill "$program" 2>/dev/null || true
fi

# The uninstaller runs from a copy of itself in the temporary folder: wait for its last step.
"$wine" "$folder\\Uninstall.exe" /S
unregistered() { [ -z "$(registry_value "$uninstall" UninstallString)" ]; }
check "uninstalled: unregistered" wait_for unregistered
check "uninstalled: the folder is gone" test ! -e "$dir"
check "uninstalled: the Start-menu folder is gone" test ! -e "$menu"
check "uninstalled: AppDir is gone" test -z "$(registry_value "$settings" AppDir)"
check "the user's setting stays" test "$(registry_value "$settings" ShowTrayIcon)" = "0"
"$wine" reg delete "$settings" /f >/dev/null 2>&1 || true

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
