#!/bin/bash
# Prepares (start) or tears down (stop) what the Windows tests of one build
# need: a virtual display, the build's own Wine prefix, and in that prefix a
# test document type, a mailto handler and web protocols that all start the
# recorder, so tests can see what the shell opened.
#
#   wine-fixture.sh start BUILD_DIR RECORDER_EXE
#   wine-fixture.sh stop  BUILD_DIR
set -euo pipefail

action=$1
build=$(cd "$2" && pwd)
run="$build/wine-run"
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8

display_file="$build/xvfb.display"
pid_file="$build/xvfb.pid"

start_display() {
  if [ -s "$pid_file" ] && kill -0 "$(cat "$pid_file")" 2>/dev/null && [ -s "$display_file" ]; then
    return
  fi
  rm -f "$display_file"
  # -displayfd picks a free display and writes its number once it is ready.
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
    3>"$display_file" </dev/null >"$build/xvfb.log" 2>&1 &
  echo $! >"$pid_file"
  for _ in $(seq 1 100); do
    [ -s "$display_file" ] && return
    sleep 0.1
  done
  echo "wine-fixture: Xvfb did not start (see $build/xvfb.log)" >&2
  exit 1
}

windows_path() {  # Unix path -> Z:\ path, as Wine maps the root to Z:
  printf 'Z:%s' "$(printf '%s' "$1" | sed 's#/#\\#g')"
}

reg_string() {  # a value for a REGEDIT4 file: backslashes and quotes escaped
  printf '%s' "$1" | sed -e 's#\\#\\\\#g' -e 's#"#\\"#g'
}

register_recorder() {
  local recorder command
  recorder=$(windows_path "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")")
  command=$(reg_string "\"$recorder\" \"%1\"")
  cat >"$build/test-associations.reg" <<REG
REGEDIT4

[HKEY_CLASSES_ROOT\\.ombtest]
@="OmbrelTest.Document"

[HKEY_CLASSES_ROOT\\OmbrelTest.Document\\shell\\open\\command]
@="$command"

[HKEY_CLASSES_ROOT\\mailto]
@="URL:MailTo Protocol"
"URL Protocol"=""

[HKEY_CLASSES_ROOT\\mailto\\shell\\open\\command]
@="$command"

[HKEY_CLASSES_ROOT\\http\\shell\\open\\command]
@="$command"

[HKEY_CLASSES_ROOT\\https\\shell\\open\\command]
@="$command"
REG
  "$run" reg import "$(windows_path "$build/test-associations.reg")" >/dev/null 2>&1
}

case "$action" in
  start)
    start_display
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      echo "wine-fixture: creating the Wine prefix $WINEPREFIX"
      wineboot -i >/dev/null 2>&1 </dev/null
    fi
    # No window manager runs on the virtual display: Wine then draws title bars
    # and borders itself, and does not wait (two seconds per window) for one
    # to hide a window that is destroyed. The title bar's buttons are glyphs of
    # Wine's Marlett font, which this Wine looks for in the prefix.
    "$run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # Programs start at 96 DPI; a test that tries another DPI sets it for
    # itself, and one that died half-way must not leave it behind.
    "$run" reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true
    # Windows runs its Task Scheduler from the start; Wine's service waits to
    # be started.
    "$run" reg add 'HKLM\System\CurrentControlSet\Services\Schedule' /v Start /t REG_DWORD /d 2 /f \
      >/dev/null 2>&1
    "$run" net start schedule >/dev/null 2>&1 || true
    if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
      cp -u /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    # Drive R: is a folder of the build, for programs that lie in a drive's
    # root; Q: is the same folder under a second letter.
    mkdir -p "$build/drive-r"
    ln -sfn "$build/drive-r" "$WINEPREFIX/dosdevices/r:"
    ln -sfn "$build/drive-r" "$WINEPREFIX/dosdevices/q:"
    register_recorder "$3"
    # Let the prefix settle, but never wait without end for a process that a
    # run outside the tests left behind in it.
    timeout 60 wineserver -w 2>/dev/null || true
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    if [ -s "$pid_file" ]; then kill "$(cat "$pid_file")" 2>/dev/null || true; fi
    rm -f "$pid_file" "$display_file"
    ;;
  *)
    echo "usage: $0 start|stop BUILD_DIR [RECORDER_EXE]" >&2
    exit 2
    ;;
esac
