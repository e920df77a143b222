# shellcheck shell=bash
# A virtual X display and a fresh wine prefix in a temporary folder, for the
# scripts that run fragtally.exe for real. Source it with $wine and $wineserver
# set, then call `start_wine_session NAME SCREEN` (SCREEN like 1024x768x24): it
# sets $work, $DISPLAY and $WINEPREFIX, or exits 1 when either does not come up.
# When the script exits, the display, every wine process of the prefix and the
# folder are gone.
#
# Wine's own fonts (Debian's fonts-wine: Marlett, which draws the caption
# buttons, Tahoma, MS Sans Serif, ...) are put into the prefix's Fonts folder.
# Debian's wine64 finds its data folder as /usr/lib/wine/../../share/wine and
# never loads the fonts from there; without Marlett the caption buttons show
# as the letters "0 1 r" of another font.
wine_fonts=${WINE_FONTS:-/usr/share/wine/fonts}

xvfb_pid=
work=

stop_wine_session() {
  if [[ -n ${WINEPREFIX:-} && -d $WINEPREFIX ]]; then
    timeout 30 "$wineserver" -k >/dev/null 2>&1
    timeout 30 "$wineserver" -w >/dev/null 2>&1
  fi
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  [[ -z $work ]] || rm -rf "$work"
}

start_wine_session() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/fragtally-$1.XXXXXX")
  trap stop_wine_session EXIT
  trap 'exit 1' INT TERM HUP

  # Xvfb picks a free display number and tells it on fd 3.
  Xvfb -displayfd 3 -screen 0 "$2" -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for ((i = 0; i < 100; i++)); do
    [[ -s $work/display ]] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [[ ! -s $work/display ]]; then
    echo "Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
  fi
  export DISPLAY=:$(head -n1 "$work/display")

  # No mono or gecko install prompts; a crash fails instead of waiting in the debugger.
  export WINEPREFIX=$work/prefix
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  # Wine reads unix file names and arguments in the locale's character set.
  export LC_ALL=C.UTF-8
  if ! timeout 180 "$wine" wineboot -i >>"$work/wine.log" 2>&1; then
    echo "wineboot failed:" >&2
    cat "$work/wine.log" >&2
    exit 1
  fi
  if [[ -f $wine_fonts/marlett.ttf ]]; then
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp "$wine_fonts"/* "$WINEPREFIX/drive_c/windows/Fonts/"
  else
    echo "no $wine_fonts/marlett.ttf (package fonts-wine): caption buttons will show as letters" >&2
  fi
}
