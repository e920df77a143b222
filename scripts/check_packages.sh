#!/usr/bin/env bash
# Builds the packages as they are shipped and checks each as its user gets it:
#   .deb     installs with dpkg -i; fragtally-cli --version and man fragtally-cli
#            work from the installed paths; the sample gives the build's report;
#            dpkg -r leaves nothing behind. Depends on nothing but what
#            dpkg-shlibdeps finds (the C++ runtime is linked in).
#   .tar.gz  unpacked anywhere, runs the sample and gives the build's report.
#   .zip     holds exactly fragtally.exe, fragtally-cli.exe, README.txt and
#            sample.log; under wine both programs start and write the sample's
#            report, the same as the build's fragtally-cli.exe.
# Every executable is stripped.
#
#   scripts/check_packages.sh [--write-sizes]
#
# README's package and program sizes (between its "sizes" markers) are these
# packages' own: the check fails, showing the measured block, when README says
# otherwise; with --write-sizes it writes the measured block into README.
#
# Builds the `package` preset (Linux) and the programs of the `mingw` preset,
# reusing what is built already; the packages land in build/package/packages
# and build/mingw/packages. Needs root (or sudo) for dpkg -i and dpkg -r, and
# wine64, Xvfb and fonts-wine for the zip. Prints one line per check, the
# packages' sizes and "N passed, M failed"; exits 1 when a check failed.

set -u -o pipefail
write_sizes=
case ${1:-} in
  '') ;;
  --write-sizes) write_sizes=yes ;;
  *) echo "usage: scripts/check_packages.sh [--write-sizes]" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.." || exit 1
top=$(pwd)
version=$(sed -n 's/^project(Fragtally VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
jobs=${FRAGTALLY_JOBS:-2}
wine=${WINE:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}

passed=0
failed=0
check() {  # check NAME COMMAND...: passes when the command succeeds
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok - $name"
  else
    failed=$((failed + 1))
    echo "FAIL - $name"
  fi
}
finish() {
  echo "$passed passed, $failed failed"
  ((failed == 0))
  exit
}

as_root=()
[[ $(id -u) -eq 0 ]] || as_root=(sudo -n)

scratch=$(mktemp -d "${TMPDIR:-/tmp}/fragtally-packages.XXXXXX")
deb_installed=
cleanup() {
  [[ -z $deb_installed ]] || "${as_root[@]}" dpkg -r fragtally >/dev/null 2>&1
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# same_report DIR_A DIR_B: the same report and pictures, byte for byte.
same_report() { diff -r -q "$1" "$2" >/dev/null; }
# listing_is EXPECTED_FILE ACTUAL_FILE: the same lines, shown when they differ.
listing_is() {
  diff -u "$1" "$2" >"$scratch/listing.diff" && return 0
  sed 's/^/    /' "$scratch/listing.diff"
  return 1
}
stripped_elf() { file -b "$1" | grep -q 'ELF.*, stripped'; }
no_cxx_runtime() { ! ldd "$1" | grep -q -E 'libstdc\+\+|libgcc_s'; }
size_of() { stat -c %s "$1"; }
kib() { echo "$((($(size_of "$1") + 1023) / 1024)) KiB"; }

# --- Linux: the release build, the C++ runtime linked in ---
started=$SECONDS
cmake --preset package >"$scratch/configure.log" 2>&1 &&
  cmake --build --preset package -j "$jobs" >"$scratch/build.log" 2>&1 &&
  (cd build/package && cpack) >"$scratch/cpack.log" 2>&1
status=$?
if ((status != 0)); then
  cat "$scratch/configure.log" "$scratch/build.log" "$scratch/cpack.log" | tail -n 40
  check "Linux packages built" false
  finish
fi
echo "Linux packages built in $((SECONDS - started)) s"
arch=$(dpkg --print-architecture)
deb=$top/build/package/packages/fragtally_${version}_${arch}.deb
tgz=$top/build/package/packages/fragtally-$version-linux-$(uname -m).tar.gz
check "the .deb is named with the version" test -f "$deb"
check "the .tar.gz is named with the version" test -f "$tgz"
[[ -f $deb && -f $tgz ]] || finish

# The reference: what the build's own program writes for the sample, from the
# same log path as the packaged one gets.
reference() {  # reference CLI LOG OUT_DIR
  mkdir -p "$3" && "$1" "$2" -o "$3/report.htm" >/dev/null
}

# --- the .deb ---
cat >"$scratch/deb-expected" <<EOF
./usr/bin/fragtally-cli
./usr/share/doc/fragtally/LICENSE
./usr/share/doc/fragtally/README.md
./usr/share/doc/fragtally/sample.log
./usr/share/man/man1/fragtally-cli.1
EOF
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort >"$scratch/deb-files"
check "the .deb holds the program, its manual page, README, licence and sample" \
  listing_is "$scratch/deb-expected" "$scratch/deb-files"
depends=$(dpkg-deb -f "$deb" Depends)
echo "    Depends: $depends"
check "the .deb depends on the C library only (what dpkg-shlibdeps finds)" \
  bash -c "[[ '$depends' == libc6* && '$depends' != *,* ]]"
check "the .deb's version is the program's" test "$(dpkg-deb -f "$deb" Version)" = "$version"

if dpkg-query -W -f='${Status}' fragtally 2>/dev/null | grep -q 'install ok installed'; then
  check "fragtally is not installed on this machine before the check" false
elif "${as_root[@]}" dpkg -i "$deb" >"$scratch/dpkg-i.log" 2>&1; then
  deb_installed=yes
  check "dpkg -i installs the .deb" true
  check "the installed program is stripped" stripped_elf /usr/bin/fragtally-cli
  check "the installed program needs no shared C++ runtime" no_cxx_runtime /usr/bin/fragtally-cli
  check "fragtally-cli --version from the installed path" \
    bash -c "[[ \"\$(cd / && fragtally-cli --version)\" == 'fragtally-cli $version' ]]"
  check "man fragtally-cli finds the installed page" \
    test "$(man -w fragtally-cli 2>/dev/null)" = /usr/share/man/man1/fragtally-cli.1
  MANWIDTH=80 man -P cat fragtally-cli >"$scratch/man.txt" 2>"$scratch/man.err"
  check "man fragtally-cli shows the page with its exit statuses" grep -q '^EXIT STATUS' "$scratch/man.txt"
  cp /usr/share/doc/fragtally/sample.log "$scratch/deb-sample.log"
  reference build/package/cli/fragtally-cli "$scratch/deb-sample.log" "$scratch/deb-expected-report"
  check "the installed program writes the sample's report and pictures" \
    bash -c "mkdir -p '$scratch/deb-report' && cd / && fragtally-cli '$scratch/deb-sample.log' -o '$scratch/deb-report/report.htm' >/dev/null"
  check "the installed program's report is the build's" same_report "$scratch/deb-expected-report" "$scratch/deb-report"
  if "${as_root[@]}" dpkg -r fragtally >"$scratch/dpkg-r.log" 2>&1; then
    deb_installed=
    check "dpkg -r removes it" true
    left=$(sed 's/^\.//' "$scratch/deb-files" | while read -r path; do [[ -e $path ]] && echo "$path"; done)
    [[ -d /usr/share/doc/fragtally ]] && left+=" /usr/share/doc/fragtally"
    check "nothing of the package is left" test -z "$left"
    check "dpkg knows it no more" bash -c "! dpkg-query -W -f='\${Status}' fragtally 2>/dev/null | grep -q installed"
  else
    cat "$scratch/dpkg-r.log"
    check "dpkg -r removes it" false
  fi
else
  cat "$scratch/dpkg-i.log"
  check "dpkg -i installs the .deb" false
fi

# --- the .tar.gz ---
mkdir -p "$scratch/tgz"
tar -xzf "$tgz" -C "$scratch/tgz"
tree=$scratch/tgz/$(basename "$tgz" .tar.gz)
(cd "$tree" && find . -type f | sort) >"$scratch/tgz-files"
sed 's|^\./usr/|./|' "$scratch/deb-expected" >"$scratch/tgz-expected"
check "the .tar.gz holds the same files in one folder" listing_is "$scratch/tgz-expected" "$scratch/tgz-files"
check "the unpacked program is stripped" stripped_elf "$tree/bin/fragtally-cli"
reference build/package/cli/fragtally-cli "$tree/share/doc/fragtally/sample.log" "$scratch/tgz-expected-report"
check "the unpacked program writes the sample's report and pictures" \
  bash -c "mkdir -p '$scratch/tgz-report' && cd '$tree' && bin/fragtally-cli share/doc/fragtally/sample.log -o '$scratch/tgz-report/report.htm' >/dev/null"
check "the unpacked program's report is the build's" same_report "$scratch/tgz-expected-report" "$scratch/tgz-report"

# --- Windows: the zip from the mingw build ---
started=$SECONDS
cmake --preset mingw >"$scratch/mingw-configure.log" 2>&1 &&
  cmake --build --preset mingw -j "$jobs" --target fragtally fragtally-cli fragtally_readme_txt fragtally_e2e_driver \
    >"$scratch/mingw-build.log" 2>&1 &&
  (cd build/mingw && cpack) >"$scratch/mingw-cpack.log" 2>&1
status=$?
if ((status != 0)); then
  cat "$scratch/mingw-configure.log" "$scratch/mingw-build.log" "$scratch/mingw-cpack.log" | tail -n 40
  check "Windows package built" false
  finish
fi
echo "Windows package built in $((SECONDS - started)) s"
zip=$top/build/mingw/packages/fragtally-$version-win64.zip
check "the .zip is named with the version" test -f "$zip"
[[ -f $zip ]] || finish
folder=fragtally-$version-win64
printf '%s\n' "$folder/README.txt" "$folder/fragtally-cli.exe" "$folder/fragtally.exe" "$folder/sample.log" \
  >"$scratch/zip-expected"
unzip -Z1 "$zip" | grep -v '/$' | sort >"$scratch/zip-files"
check "the .zip holds exactly the two programs, README.txt and the sample" \
  listing_is "$scratch/zip-expected" "$scratch/zip-files"
mkdir -p "$scratch/zip"
unzip -q "$zip" -d "$scratch/zip"
unpacked=$scratch/zip/$folder
check "README.txt starts with a UTF-8 byte order mark" \
  test "$(head -c 3 "$unpacked/README.txt" | od -An -tx1 | tr -d ' ')" = efbbbf
check "README.txt ends every line with CR LF" \
  bash -c "[[ \$(grep -c \$'\\r\$' '$unpacked/README.txt') -eq \$(wc -l <'$unpacked/README.txt') ]]"
check "README.txt holds the licence" grep -q 'MIT License' "$unpacked/README.txt"
for exe in fragtally.exe fragtally-cli.exe; do
  check "$exe is stripped" bash -c "! x86_64-w64-mingw32-objdump -h '$unpacked/$exe' | grep -q -E '\\.debug_|\\.symtab'"
done

# shellcheck source=tests/e2e/wine_session.sh
source "$top/tests/e2e/wine_session.sh"
started=$SECONDS
start_wine_session packages 1024x768x24
trap 'stop_wine_session; cleanup' EXIT
echo "wine prefix ready in $((SECONDS - started)) s"
winpath() { printf 'Z:%s' "${1//\//\\}"; }
log=$unpacked/sample.log
mkdir -p "$scratch/exe-expected" "$scratch/cli-report" "$scratch/app-report" "$scratch/start"
cd "$scratch/start" || exit 1
timeout 120 "$wine" "$top/build/mingw/cli/fragtally-cli.exe" "$(winpath "$log")" \
  -o "$(winpath "$scratch/exe-expected/report.htm")" >/dev/null 2>>"$work/wine.log"
check "fragtally-cli.exe --version under wine" \
  bash -c "timeout 120 '$wine' '$unpacked/fragtally-cli.exe' --version 2>>'$work/wine.log' | tr -d '\\r' | grep -qx 'fragtally-cli $version'"
check "fragtally-cli.exe writes the sample's report under wine" \
  bash -c "timeout 120 '$wine' '$unpacked/fragtally-cli.exe' '$(winpath "$log")' -o '$(winpath "$scratch/cli-report/report.htm")' >/dev/null 2>>'$work/wine.log'"
check "fragtally-cli.exe's report is the build's" same_report "$scratch/exe-expected" "$scratch/cli-report"
# The window, worked as a user would: the button, the log, the report's name.
timeout 180 "$wine" "$top/build/mingw/tests/e2e/fragtally_e2e_driver.exe" "$(winpath "$unpacked/fragtally.exe")" \
  click open "$(winpath "$log")" save "$(winpath "$scratch/app-report/report.htm")" idle \
  >"$scratch/driver.out" 2>>"$work/wine.log"
status=$?
((status == 0)) || sed 's/^/    driver: /' "$scratch/driver.out"
check "fragtally.exe starts and writes the sample's report under wine" test "$status" -eq 0
check "fragtally.exe's report is the build's" same_report "$scratch/exe-expected" "$scratch/app-report"

echo
echo "package sizes:"
for package in "$deb" "$tgz" "$zip"; do
  printf '  %-50s %9d bytes (%s)\n' "$(basename "$package")" "$(size_of "$package")" "$(kib "$package")"
done
printf '  %-50s %9d bytes\n' "fragtally-cli (Linux, stripped)" "$(size_of "$tree/bin/fragtally-cli")"
for exe in fragtally.exe fragtally-cli.exe; do
  printf '  %-50s %9d bytes\n' "$exe (stripped)" "$(size_of "$unpacked/$exe")"
done

# --- README's figures: what was measured above ---
mb() { awk -v bytes="$(size_of "$1")" 'BEGIN { printf "%.2f MB", bytes / 1000000 }'; }
sizes_block() {
  cat <<EOF
<!-- sizes: measured by scripts/check_packages.sh, written by its --write-sizes -->
| package | for | size |
|---|---|---|
| \`$(basename "$zip")\` | Windows 7 or later, 64-bit | $(kib "$zip") |
| \`$(basename "$deb")\` | Debian 12 or later, Ubuntu 23.04 or later (x86-64) | $(kib "$deb") |
| \`$(basename "$tgz")\` | any x86-64 Linux with glibc 2.36 or later | $(kib "$tgz") |

The programs in them are stripped: \`fragtally.exe\` $(mb "$unpacked/fragtally.exe"), \`fragtally-cli.exe\`
$(mb "$unpacked/fragtally-cli.exe"), the Linux \`fragtally-cli\` $(mb "$tree/bin/fragtally-cli").
<!-- /sizes -->
EOF
}
readme_sizes() { sed -n '/^<!-- sizes:/,/^<!-- \/sizes -->$/p' "$top/README.md"; }
sizes_block >"$scratch/sizes-measured"
if [[ -n $write_sizes ]]; then
  awk -v block="$scratch/sizes-measured" '
    /^<!-- sizes:/ { while ((getline line < block) > 0) print line; skipping = 1; next }
    skipping && /^<!-- \/sizes -->$/ { skipping = 0; next }
    !skipping' "$top/README.md" >"$scratch/README.md" && cat "$scratch/README.md" >"$top/README.md"
fi
readme_sizes >"$scratch/sizes-readme"
check "README's sizes are the measured ones (scripts/check_packages.sh --write-sizes writes them)" \
  listing_is "$scratch/sizes-measured" "$scratch/sizes-readme"
finish
