#!/usr/bin/env bash
# Takes the pictures of the Windows program for the docs: its window, its
# open dialog over it, and its folder run window with its folders filled in. Runs fragtally.exe under wine in a virtual X display and
# presses the button with a real mouse click.
#
#   tests/e2e/take_screenshots.sh BUILD_DIR [OUT_DIR]
#
# OUT_DIR defaults to docs/ of the source tree. Needs wine64, wine's fonts
# (fonts-wine), Xvfb, xdotool and ImageMagick's import and convert.

set -u -o pipefail

if [[ $# -lt 1 || ! -d $1 ]]; then
  echo "usage: $0 BUILD_DIR [OUT_DIR]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out_dir=$(cd "${2:-$source_dir/docs}" && pwd)
app=$build/win/fragtally.exe
wine=${WINE:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}

# shellcheck source=tests/e2e/wine_session.sh
source "$source_dir/tests/e2e/wine_session.sh"
start_wine_session shots 1280x1024x24
if [[ ! -f $WINEPREFIX/drive_c/windows/Fonts/marlett.ttf ]]; then
  echo "the caption buttons need wine's Marlett font (install fonts-wine)" >&2
  exit 1
fi
# No window manager runs in the display: wine then draws the title bars itself.
timeout 60 "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$work/wine.log" 2>&1

# geometry WINDOW: "WIDTHxHEIGHT+X+Y" of an X window.
geometry() {
  local WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "${WIDTH}x${HEIGHT}+${X}+${Y}"
}
# find_window TITLE: the X window with exactly this title, waiting up to 20 s.
find_window() {
  local id
  for ((i = 0; i < 200; i++)); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
    [[ -n $id ]] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "no window \"$1\"" >&2
  return 1
}
# shoot FILE GEOMETRY: the screen inside GEOMETRY, as a PNG.
shoot() {
  sleep 1  # let wine finish painting
  import -window root "$work/screen.png" && convert "$work/screen.png" -crop "$2" +repage "$1"
}

# The open dialog starts in the current folder: let it show the sample log.
cd "$source_dir/examples" || exit 1
"$wine" "$app" >>"$work/wine.log" 2>&1 &

main=$(find_window Fragtally_Statistica) || exit 1
main_geometry=$(geometry "$main")
shoot "$out_dir/window.png" "$main_geometry" || exit 1
echo "window at $main_geometry -> $out_dir/window.png"

# A real click in the middle of the button.
IFS='x+' read -r width height left top <<<"$main_geometry"
xdotool mousemove $((left + width / 2)) $((top + height / 2 + 10)) click 1
dialog=$(find_window Open) || exit 1
# Wine puts the dialog over the window's corner; moved down and right, the
# window's title and button still show beside it.
xdotool windowmove "$dialog" $((left + 60)) $((top + 70))
sleep 0.5
dialog_geometry=$(geometry "$dialog")
IFS='x+' read -r dwidth dheight dleft dtop <<<"$dialog_geometry"
# The smallest rectangle holding both windows, with a small margin.
x0=$(( (left < dleft ? left : dleft) - 8 ))
y0=$(( (top < dtop ? top : dtop) - 8 ))
x1=$(( (left + width > dleft + dwidth ? left + width : dleft + dwidth) + 8 ))
y1=$(( (top + height > dtop + dheight ? top + height : dtop + dheight) + 8 ))
((x0 < 0)) && x0=0
((y0 < 0)) && y0=0
shoot "$out_dir/open-dialog.png" "$((x1 - x0))x$((y1 - y0))+$x0+$y0" || exit 1
echo "open dialog at $dialog_geometry -> $out_dir/open-dialog.png"

# The folder run window, from the main window's Ctrl+L, its folders typed in.
xdotool key --window "$dialog" Escape
sleep 1
xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main"
xdotool key ctrl+l
folder=$(find_window "Папка логов в сайт") || exit 1
sleep 0.5
xdotool type --delay 20 'C:\Games\logs'
xdotool key Tab Tab
xdotool type --delay 20 'C:\Games\site'
folder_geometry=$(geometry "$folder")
shoot "$out_dir/folder-run.png" "$folder_geometry" || exit 1
echo "folder run window at $folder_geometry -> $out_dir/folder-run.png"
