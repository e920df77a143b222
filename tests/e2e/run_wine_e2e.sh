#!/usr/bin/env bash
# End-to-end suite of fragtally.exe: runs the real program under wine in a
# virtual X display and works its window with fragtally_e2e_driver.exe, the
# way a user would. Builds nothing: give it a mingw build folder that holds
# win/fragtally.exe, cli/fragtally-cli.exe and tests/e2e/fragtally_e2e_driver.exe.
#
#   tests/e2e/run_wine_e2e.sh BUILD_DIR
#
# Needs wine64 and Xvfb. Every case runs in one fresh wine prefix in a temporary
# folder, removed at the end with the display and every wine process of it.
# Prints one line per check and closes with "N passed, M failed"; the exit
# status is 1 when a check failed or the setup did not come up.

set -u -o pipefail

if [[ $# -ne 1 || ! -d $1 ]]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
app=$build/win/fragtally.exe
cli=$build/cli/fragtally-cli.exe
driver=$build/tests/e2e/fragtally_e2e_driver.exe
wine=${WINE:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}
for needed in "$app" "$cli" "$driver" "$wine" "$wineserver" "$(command -v Xvfb)"; do
  if [[ ! -x $needed ]]; then
    echo "missing: ${needed:-Xvfb}" >&2
    exit 1
  fi
done

started=$SECONDS
# shellcheck source=tests/e2e/wine_session.sh
source "$source_dir/tests/e2e/wine_session.sh"
start_wine_session e2e 1024x768x24
# No browser: the folder run window's "open the index" finds nothing to open
# it with, which the window tells on its index line.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winebrowser.exe=d"
wine_log=$work/wine.log
echo "wine prefix ready in $((SECONDS - started)) s (display $DISPLAY)"

passed=0
failed=0
pass() {
  passed=$((passed + 1))
  echo "ok - $1"
}
fail() {
  failed=$((failed + 1))
  echo "FAIL - $1"
}
check() {  # check NAME COMMAND...: passes when the command succeeds
  local name=$1
  shift
  if "$@"; then pass "$name"; else fail "$name"; fi
}

# The Windows path of a unix path, on wine's drive Z: (the unix root).
winpath() { printf 'Z:%s' "${1//\//\\}"; }

files=$work/files
mkdir -p "$files" "$work/start"
# The programs start here: whatever lands in their first current folder shows.
cd "$work/start" || exit 1

# drive CASE STEP...: works the window through the steps; the driver's output
# goes to $work/CASE.out and is shown when it failed.
drive() {
  local name=$1
  shift
  timeout 180 "$wine" "$driver" "$(winpath "$app")" "$@" >"$work/$name.out" 2>>"$wine_log"
  local status=$?
  ((status == 0)) || sed "s/^/    $name: /" "$work/$name.out"
  return $status
}
# transcript CASE: the driver printed exactly the lines on standard input, in
# order; the window's caption, each dialog with the name it offered, each
# message, and the program's exit status.
transcript() {
  if diff -u - "$work/$1.out" >"$work/$1.diff"; then return 0; fi
  sed 's/^/    /' "$work/$1.diff"
  return 1
}
# reference LOG REPORT: what fragtally-cli.exe writes for the log, with the same Windows path.
reference() {
  mkdir -p "$(dirname "$2")"
  timeout 180 "$wine" "$cli" "$(winpath "$1")" -o "$(winpath "$2")" >/dev/null 2>>"$wine_log"
}
# same_folder A B: the same file names with the same bytes.
same_folder() { diff -r -q "$1" "$2" >/dev/null; }
# only_files DIR NAME...: DIR holds exactly these files.
only_files() {
  local dir=$1
  shift
  [[ "$(cd "$dir" && ls -A | sort)" == "$(printf '%s\n' "$@" | sort)" ]]
}
has_pictures() { compgen -G "$1/*.jpg" >/dev/null; }
# FOLDER COUNT: COUNT match records in FOLDER, each with its report beside it,
# and the index (the site's other pages come beside them).
reports_and_records() {
  local record
  [ "$(ls "$1"/*.json | wc -l)" -eq "$2" ] || return 1
  for record in "$1"/*.json; do [ -f "${record%.json}.htm" ] || return 1; done
  [ -f "$1/index.htm" ]
}
no_files_since() { [[ -z "$(find "$files" -type f -newer "$1" -print -quit)" ]]; }
mark() { touch "$work/$1.mark"; echo "$work/$1.mark"; }

cp1251() { printf '%s' "$1" | iconv -f UTF-8 -t CP1251; }

# Logs made for the cases, besides the sample.
write_kill_log() {  # write_kill_log FILE KILLER VICTIM
  printf 'L 10/25/2003 - 21:10:00: Started map "de_dust2" (CRC "-1")\r\n' >"$1"
  printf 'L 10/25/2003 - 21:14:02: "%s<12><1001><CT>" killed "%s<13><1002><TERRORIST>" with "knife"\r\n' "$2" "$3" >>"$1"
  printf 'L 10/25/2003 - 21:15:30: "%s<13><1002><TERRORIST>" killed "%s<12><1001><CT>" with "ak47"\r\n' "$3" "$2" >>"$1"
  printf 'L 10/25/2003 - 21:16:00: Team "CT" triggered "CTs_Win" (CT "1") (T "0")\r\n' >>"$1"
}

# The window as designed (at 96 dpi): its place, its client size, the button
# with its picture filling it but for the margins, and a fixed frame with
# caption, system menu and minimise only.
layout="at 490,271, client 104x161, button 8,8 91x146, caption, system menu, minimise box, button picture"

# --- the resources: icon, button picture, manifest, version information ---
timeout 120 "$wine" "$driver" --version-check "$(winpath "$app")" >"$work/version.out" 2>>"$wine_log"
check "resources and version information" transcript version <<EOF
icon: 32x32, 4 bits per pixel
button picture: 64x128, 24 bits per pixel
manifest: Microsoft.Windows.Common-Controls" version="6.0.0.0", asInvoker, <dpiAwareness, PerMonitorV2, <dpiAware, true/pm, supportedOS
file version: 2.0.0.26
product version: 1.0.0.0
language: 0419, code page: 1251
CompanyName = "Fragtally"
FileDescription = "Fragtally game log statistics"
FileVersion = "2.0.0.26"
InternalName = "fragtally"
LegalCopyright = "Copyright (C) 2026 Fragtally developers"
LegalTrademarks = ""
OriginalFilename = "fragtally.exe"
ProductName = "Fragtally_Statistica"
ProductVersion = "1.0.0.0"
Comments = ""
EOF

# --- a full run: report in another folder than the log ---
logs=$files/full/logs
out=$files/full/report
mkdir -p "$logs" "$out"
cp "$source_dir/examples/sample.log" "$logs/sample.log"
check "full run: the driver got through" \
  drive full click open "$(winpath "$logs/sample.log")" save "$(winpath "$out/result.htm")" idle \
  click open-cancel idle
check "full run: dialogs, and the open dialog keeps the last log" transcript full <<EOF
window: Fragtally_Statistica
layout: $layout
open dialog: Open, file name: ""
save dialog: Save As, file name: "result"
open dialog: Open, file name: "sample.log"
exit: 0
EOF
reference "$logs/sample.log" "$files/full/expected/result.htm"
check "full run: report written" test -s "$out/result.htm"
check "full run: pictures beside the report" has_pictures "$out"
check "full run: report and pictures as the CLI writes them" same_folder "$out" "$files/full/expected"
check "full run: nothing written beside the log" only_files "$logs" sample.log

# --- cancel in the open dialog ---
since=$(mark open-cancel)
check "open cancel: the driver got through" drive open-cancel click open-cancel idle click open-cancel idle
check "open cancel: no save dialog, the button works again" transcript open-cancel <<EOF
window: Fragtally_Statistica
layout: $layout
open dialog: Open, file name: ""
open dialog: Open, file name: ""
exit: 0
EOF
check "open cancel: nothing written" no_files_since "$since"

# --- cancel in the save dialog after a log with kills ---
logs=$files/save-cancel
mkdir -p "$logs"
cp "$source_dir/examples/sample.log" "$logs/kills.log"
since=$(mark save-cancel)
check "save cancel: the driver got through" \
  drive save-cancel click open "$(winpath "$logs/kills.log")" save-cancel idle click open-cancel idle
check "save cancel: dialogs" transcript save-cancel <<EOF
window: Fragtally_Statistica
layout: $layout
open dialog: Open, file name: ""
save dialog: Save As, file name: "result"
open dialog: Open, file name: "kills.log"
exit: 0
EOF
check "save cancel: no report, no picture" no_files_since "$since"

# --- a log that does not exist ---
logs=$files/missing
mkdir -p "$logs"
since=$(mark missing)
check "missing log: the driver got through" \
  drive missing click open "$(winpath "$logs/missing.log")" message idle click open-cancel idle
check "missing log: message, no save dialog" transcript missing <<EOF
window: Fragtally_Statistica
layout: $layout
open dialog: Open, file name: ""
message: Fragtally_Statistica: Cannot open file $(winpath "$logs/missing.log").
open dialog: Open, file name: "missing.log"
exit: 0
EOF
check "missing log: nothing written" no_files_since "$since"

# --- a one-digit hour ---
logs=$files/hour
mkdir -p "$logs"
printf 'L 10/25/2003 - 9:14:02: "Alpha<12><1001><CT>" killed "Bravo<13><1002><TERRORIST>" with "knife"\r\n' \
  >"$logs/hour.log"
since=$(mark hour)
check "one-digit hour: the driver got through" \
  drive hour click open "$(winpath "$logs/hour.log")" message idle click open-cancel idle
check "one-digit hour: message, no save dialog" transcript hour <<EOF
window: Fragtally_Statistica
layout: $layout
open dialog: Open, file name: ""
message: Fragtally_Statistica: '9:' is not a valid integer value.
open dialog: Open, file name: "hour.log"
exit: 0
EOF
check "one-digit hour: nothing written" no_files_since "$since"

# --- a message quoting a Windows-1251 byte of the log ---
logs=$files/cp1251
mkdir -p "$logs"
{
  cp1251 'L 10/25/2003 - Д9:14:02: "Alpha<12><1001><CT>" killed "Bravo<13><1002><TERRORIST>" with "knife"'
  printf '\r\n'
} >"$logs/cp1251.log"
check "Windows-1251 message: the driver got through" \
  drive cp1251 click open "$(winpath "$logs/cp1251.log")" message idle
check "Windows-1251 message: shown in Cyrillic" transcript cp1251 <<EOF
window: Fragtally_Statistica
layout: $layout
open dialog: Open, file name: ""
message: Fragtally_Statistica: 'Д9' is not a valid integer value.
exit: 0
EOF

# --- an empty log: the error comes after the save dialog ---
logs=$files/empty/logs
out=$files/empty/report
mkdir -p "$logs" "$out"
: >"$logs/empty.log"
since=$(mark empty)
check "empty log: the driver got through" \
  drive empty click open "$(winpath "$logs/empty.log")" save "$(winpath "$out/result.htm")" message idle \
  click open-cancel idle
check "empty log: message after the save dialog" transcript empty <<EOF
window: Fragtally_Statistica
layout: $layout
open dialog: Open, file name: ""
save dialog: Save As, file name: "result"
message: Fragtally_Statistica: '' is not a valid integer value.
open dialog: Open, file name: "empty.log"
exit: 0
EOF
check "empty log: no report, no picture" no_files_since "$since"

# --- the log itself chosen as the report: refused, the log kept ---
logs=$files/self
mkdir -p "$logs"
cp "$source_dir/examples/sample.log" "$logs/game.htm"
since=$(mark self)
check "report over its log: the driver got through" \
  drive self click open "$(winpath "$logs/game.htm")" save "$(winpath "$logs/game.htm")" message idle \
  click open-cancel idle
check "report over its log: refused with a message" transcript self <<EOF
window: Fragtally_Statistica
layout: $layout
open dialog: Open, file name: ""
save dialog: Save As, file name: "result"
message: Fragtally_Statistica: Cannot create file $(winpath "$logs/game.htm"): it is the log being read.
open dialog: Open, file name: "game.htm"
exit: 0
EOF
check "report over its log: the log kept, nothing written" cmp -s "$logs/game.htm" "$source_dir/examples/sample.log"
check "report over its log: no picture" no_files_since "$since"

# --- two runs in a row: nothing of the first reaches the second ---
logs=$files/two/logs
out=$files/two/report
mkdir -p "$logs" "$out"
write_kill_log "$logs/first.log" Alpha Bravo
write_kill_log "$logs/second.log" Charlie Delta
check "two runs: the driver got through" \
  drive two click open "$(winpath "$logs/first.log")" save "$(winpath "$out/first.htm")" idle \
  click open "$(winpath "$logs/second.log")" save "$(winpath "$out/second.htm")" idle
check "two runs: each dialog offers its last name" transcript two <<EOF
window: Fragtally_Statistica
layout: $layout
open dialog: Open, file name: ""
save dialog: Save As, file name: "result"
open dialog: Open, file name: "first.log"
save dialog: Save As, file name: "first.htm"
exit: 0
EOF
check "two runs: first report names its players" grep -q Alpha "$out/first.htm"
check "two runs: second report names its players" grep -q Charlie "$out/second.htm"
check "two runs: second report has nothing of the first log" bash -c "! grep -q -e Alpha -e Bravo '$out/second.htm'"
reference "$logs/second.log" "$files/two/expected/second.htm"
check "two runs: second report as the CLI writes it" cmp -s "$out/second.htm" "$files/two/expected/second.htm"

# --- a bare name in the save dialog lands in the log's folder, with .htm ---
logs=$files/match
mkdir -p "$logs"
cp "$source_dir/examples/sample.log" "$logs/sample.log"
check "bare name: the driver got through" drive match click open "$(winpath "$logs/sample.log")" save match idle
check "bare name: stored as match.htm" test -s "$logs/match.htm"
check "bare name: pictures beside it" has_pictures "$logs"
reference "$logs/sample.log" "$files/match-expected/match.htm"
cp "$logs/sample.log" "$files/match-expected/sample.log"
check "bare name: report and pictures as the CLI writes them" same_folder "$logs" "$files/match-expected"

# --- a log in a folder with Cyrillic letters ---
logs="$files/Логи матча"
out=$files/cyrillic-report
mkdir -p "$logs" "$out"
cp "$source_dir/examples/sample.log" "$logs/sample.log"
check "Cyrillic folder: the driver got through" \
  drive cyrillic click open "$(winpath "$logs/sample.log")" save "$(winpath "$out/result.htm")" idle \
  click open "$(winpath "$logs/missing.log")" message idle
check "Cyrillic folder: dialogs, and the message names the path" transcript cyrillic <<EOF
window: Fragtally_Statistica
layout: $layout
open dialog: Open, file name: ""
save dialog: Save As, file name: "result"
open dialog: Open, file name: "sample.log"
message: Fragtally_Statistica: Cannot open file $(winpath "$logs/missing.log").
exit: 0
EOF
header=$(cp1251 " <p align=\"left\"><strong>Анализ файла ...\"$(winpath "$logs/sample.log")\"...</strong></p>")
check "Cyrillic folder: the header names the log in Windows-1251" \
  env LC_ALL=C grep -Fq -- "$header" "$out/result.htm"
check "Cyrillic folder: pictures beside the report" has_pictures "$out"

# --- the folder run window: the example logs into a site folder ---
logs=$files/site/logs
out=$files/site/out
mkdir -p "$logs"
cp "$source_dir"/examples/logs/*.log "$logs/"
example_logs=$(ls "$logs" | wc -l)
check "folder run: the driver got through" \
  drive site folder logs "$(winpath "$logs")" site "$(winpath "$out")" start folder-wait folder-close idle \
  click open-cancel idle
check "folder run: the window from the system menu, the counts at the end" transcript site <<EOF
window: Fragtally_Statistica
layout: $layout
folder window: Папка логов в сайт, Старт, Закрыть
folder run: Готово: $example_logs из $example_logs
index: $(winpath "$out/index.htm") (не открылся)
open dialog: Open, file name: ""
exit: 0
EOF
check "folder run: a report and a record per log, and the index" reports_and_records "$out" "$example_logs"
check "folder run: index.htm written" test -s "$out/index.htm"
timeout 300 "$wine" "$cli" "$(winpath "$logs")" -d "$(winpath "$files/site/expected")" >/dev/null 2>>"$wine_log"
check "folder run: reports, records and pictures as the CLI's folder run writes them" \
  diff -r -q -x index.htm -x index.cache -x site.cache -x tally.cache "$out" "$files/site/expected"
check "folder run: nothing written beside the logs" test "$(ls -A "$logs" | wc -l)" -eq "$example_logs"

# --- the folder run window: a log that fails is listed at the end ---
logs=$files/site-failure/logs
out=$files/site-failure/out
mkdir -p "$logs"
write_kill_log "$logs/good.log" Alpha Bravo
: >"$logs/empty.log"
check "folder run failure: the driver got through" \
  drive site-failure folder logs "$(winpath "$logs")" site "$(winpath "$out")" start folder-wait message \
  folder-close idle
check "folder run failure: listed in a message after the counts" transcript site-failure <<EOF
window: Fragtally_Statistica
layout: $layout
folder window: Папка логов в сайт, Старт, Закрыть
folder run: Готово: 2 из 2
index: $(winpath "$out/index.htm") (не открылся)
message: Fragtally_Statistica: Не удалось: 1

$(winpath "$logs/empty.log"): '' is not a valid integer value.
exit: 0
EOF
check "folder run failure: the good log's report written" test -s "$out/good.htm"

# --- the folder run window: Cancel during a run of many logs ---
logs=$files/site-cancel/logs
out=$files/site-cancel/out
mkdir -p "$logs"
many=400
for ((i = 1000; i < 1000 + many; i++)); do write_kill_log "$logs/game$i.log" "Player$i" "Victim$i"; done
check "folder run cancel: the driver got through" \
  drive site-cancel folder logs "$(winpath "$logs")" site "$(winpath "$out")" start folder-cancel folder-wait \
  folder-close idle
check "folder run cancel: the counts say it was cancelled" \
  grep -Eq "^folder run: Отменено: [0-9]+ из $many\$" "$work/site-cancel.out"
reports=$(find "$out" -name 'game*.htm' | wc -l)
records=$(find "$out" -name 'game*.json' | wc -l)
echo "    cancelled with $reports reports of $many logs written"
check "folder run cancel: fewer reports than logs" test "$reports" -lt "$many"
check "folder run cancel: no temporary file left" test -z "$(find "$out" -name '.fragtally-*.tmp')"
check "folder run cancel: a record for every report" test "$reports" -eq "$records"
# whole_reports: every report ends as a whole one does.
whole_reports() {
  local ending report
  ending=$(tail -c 16 "$files/site-failure/out/good.htm")
  for report in "$out"/game*.htm; do
    [[ "$(tail -c 16 "$report")" == "$ending" ]] || return 1
  done
}
check "folder run cancel: every report whole" whole_reports

check "nothing written where the programs started" only_files "$work/start"

echo "e2e suite took $((SECONDS - started)) s"
if ((failed > 0)); then
  echo "wine's messages:"
  tail -n 40 "$wine_log"
fi
echo "$passed passed, $failed failed"
((failed == 0))
