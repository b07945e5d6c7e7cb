#!/bin/bash
# Builds the programs, lays out a demo program folder (build/demo) and starts
# OmbrelSet there under Wine. With no screen, it runs on a virtual display,
# saves a screenshot of the window and says where.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/deps.sh"

ombrel_install_dependencies
echo "== Configuring and building the programs"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build" --parallel 2 --target windows

bin="$root/build/win/bin"
demo="$root/build/demo"
echo "== Laying out the demo program folder $demo"
mkdir -p "$demo"
cp "$bin/Ombrel.exe" "$bin/OmbrelSet.exe" "$bin/help.htm" "$demo/"
# The entry list is in the system's ANSI code page, 932 on Japanese Windows.
printf '%s\r\n' \
  'C:\windows\notepad.exe' \
  'C:\windows\system32\winver.exe' \
  'C:\users\Public\Documents' \
  'https://www.example.jp/' \
  'yamada@mail.example.jp' \
  '"C:\My Files\予定,メモ.txt"' | iconv -f UTF-8 -t CP932 >"$demo/OMBREL.DAT"

export WINEPREFIX="$root/build/demo-prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== Creating the Wine prefix $WINEPREFIX (once)"
  wineboot -i >/dev/null 2>&1 </dev/null
  wineserver -w
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "== Starting OmbrelSet on $DISPLAY"
  # A real screen has a window manager to draw the frames.
  wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
  cd "$demo" && exec wine "$demo/OmbrelSet.exe"
fi

echo "== No screen: starting OmbrelSet on a virtual display"
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" </dev/null >/dev/null 2>&1 &
xvfb=$!
cleanup() { wineserver -k 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true; rm -f "$display_file"; }
trap cleanup EXIT
for _ in $(seq 1 100); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$display_file")"
# No window manager runs there: Wine draws the title bar and frame itself,
# with the glyphs of its Marlett font. Set once the display is known, as
# Wine's desktop stays on the display its first program started on.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
  cp -u /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi

(cd "$demo" && wine "$demo/OmbrelSet.exe" >/dev/null 2>&1 &)
window=""
for _ in $(seq 1 600); do
  window=$(xdotool search --name 'For Ombrel' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "OmbrelSet's window did not appear" >&2
  exit 1
fi
sleep 1  # let it paint
eval "$(xdotool getwindowgeometry --shell "$window")"
shot="$demo/screenshot.png"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shot"
echo "== OmbrelSet ran on the virtual display; screenshot: $shot"
