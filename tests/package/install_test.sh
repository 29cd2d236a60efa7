#!/usr/bin/env bash
# install_test.sh BUILD_DIR WORK_DIR BUILT_PROGRAM SAMPLES_DIR (series files shot on the simulated unit)
# Makes the Debian package of BUILD_DIR, checks it, installs it with apt-get, runs the installed
# program, checks its menu entry and file types, and removes it again, leaving no file behind.
# Ends with 77 (skipped) when it cannot install packages or ZARK is installed already: a
# shooter's own installation is never replaced or removed by a test.
set -euo pipefail
build=$1 work=$2 built=$3 samples=$4
cpack=${CPACK_COMMAND:-cpack}

skip() { echo "skipped: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }
step() { echo "$SECONDS s: $*"; }

[[ $(id -u) -eq 0 ]] || skip "installing a package needs root"
command -v apt-get >/dev/null && command -v dpkg-deb >/dev/null || skip "no apt-get or dpkg-deb"
if [[ $(dpkg-query -W -f='${Status}' zark 2>/dev/null || true) == *installed* ]]; then
    skip "a zark package is installed on this machine already"
fi
for tool in lintian appstreamcli man desktop-file-validate pdftotext pdfinfo; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/bootstrap.sh installs it)"
done

rm -rf "$work"
mkdir -p "$work/home" "$work/config/VEXA" "$work/run"
cd "$work"

step "making the package"
# --- the package --------------------------------------------------------------------------------
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >cpack.log 2>&1 || { cat cpack.log; fail "cpack"; }
debs=("$work"/zark_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "no zark_<version>_<arch>.deb was made"
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg-deb -f "$deb" Architecture)
[[ $(basename "$deb") == "zark_${version}_${arch}.deb" ]] || fail "package named $(basename "$deb")"
[[ $arch == "$(dpkg --print-architecture)" ]] || fail "architecture $arch"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6serialport6 libqt6multimedia6 fonts-liberation2 qt6-qpa-plugins; do
    [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
echo "made $(basename "$deb"), depends: $depends"

step "lintian"
lintian_status=0
lintian --fail-on error --tag-display-limit 0 "$deb" >lintian.log 2>&1 || lintian_status=$?
grep -v "running with root privileges" lintian.log || true
((lintian_status == 0)) || fail "lintian reports errors"

# --- installed, used and removed ----------------------------------------------------------------
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^[^.]*\./, ""); print }' >files.txt
export DEBIAN_FRONTEND=noninteractive
# What apt-get installs: zark and any package it needs that is missing ("Inst" lines of a dry run).
apt-get install -s --no-install-recommends "$deb" >plan.log 2>&1 || { cat plan.log; fail "apt-get install -s"; }
coming=$(awk '$1 == "Inst" { print $2 }' plan.log | sort -u)
[[ $coming == *zark* ]] || { cat plan.log; fail "apt-get would not install zark"; }
installed=0
# Purges zark and what apt-get installed with it, nothing else.
remove() {
    if ((installed)); then
        apt-get purge -y -q $coming >purge.log 2>&1 || cat purge.log
        installed=0
    fi
}
trap remove EXIT
step "apt-get install"
installed=1
apt-get install -y -q --no-install-recommends "$deb" >install.log 2>&1 || { cat install.log; fail "apt-get install"; }
step "the installed program"

[[ $(command -v zark) == /usr/bin/zark ]] || fail "zark on the path is $(command -v zark)"
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/home/data
printf '[General]\nHideWarningAtStartup=1\n' >"$work/config/VEXA/Zark.conf"
cd "$work/run"

answer=$(zark --version)
[[ $answer == "ZARK $version" ]] || fail "zark --version says '$answer', the package is $version"

# The installed program exports exactly what the built one does.
for sample in airrifle.zas rifle50.zas; do
    zark --export-csv "$samples/$sample" "$work/run/$sample.csv" || fail "zark --export-csv $sample"
    "$built" --export-csv "$samples/$sample" >"$work/built-$sample.csv" 2>/dev/null
    head -1 "$work/run/$sample.csv" | grep -q '^series,shot,x,y,' || fail "$sample.csv has no header"
    cmp -s "$work/run/$sample.csv" "$work/built-$sample.csv" || fail "the installed export of $sample differs"
done
cp "$samples/rifle50.zas" "$work/run/rifle50.zas"
zark --export-pdf "$work/run/rifle50.zas" 2>pdf.log || { cat pdf.log; fail "zark --export-pdf"; }
[[ $(pdfinfo "$work/run/rifle50.pdf" | awk '/^Pages:/ { print $2 }') == 3 ]] || fail "the report is not 3 pages"
pdftotext "$work/run/rifle50.pdf" - | grep -q "rifle50.zas" || fail "the report does not name its file"

# The installed window starts (offscreen) from an empty folder with its plugins, then ends.
env QT_QPA_PLATFORM=offscreen ZARK_QUIT_AFTER_FIRST_PAINT=1 timeout 60 zark 2>window.log \
    || { cat window.log; fail "the installed program did not start"; }
ls /usr/share/zark/Sound/*.wav >/dev/null || fail "no shot sounds in /usr/share/zark/Sound"

# Menu entry and file types, as the desktop's caches know them after the package's triggers.
desktop-file-validate /usr/share/applications/zark.desktop || fail "desktop entry"
grep -qx 'Exec=zark %f' /usr/share/applications/zark.desktop || fail "desktop entry Exec"
for type in application/x-zark-series application/x-zark-match; do
    grep -q "^$type=.*zark.desktop" /usr/share/applications/mimeinfo.cache || fail "$type not in mimeinfo.cache"
    [[ -f /usr/share/mime/$type.xml ]] || fail "$type not in the MIME database"
done
grep -q '^application/x-zark-series:\*\.zas$' /usr/share/mime/globs || fail "*.zas not in globs"
grep -q '^application/x-zark-match:\*\.zam$' /usr/share/mime/globs || fail "*.zam not in globs"

# AppStream data and manual page.
metainfo=$(dpkg -L zark | grep -E '^/usr/share/metainfo/[^/]+\.metainfo\.xml$' || true)
[[ -n $metainfo && -f $metainfo ]] || fail "no metainfo file in share/metainfo"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
grep -q '<launchable type="desktop-id">zark.desktop</launchable>' "$metainfo" || fail "metainfo launchable"
warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l /usr/share/man/man1/zark.1.gz 2>&1 >page.txt)
[[ -z $warnings ]] || fail "man page warnings: $warnings"
MANWIDTH=80 man -l /usr/share/man/man1/zark.1.gz >page.txt 2>/dev/null
# Every option the program's usage names is in the manual page, and so is the serial port group.
for option in $(zark --help | grep -oE -- '(^|[ |])--?[a-z][a-z-]*' | tr -d ' |' | sort -u); do
    grep -q -- "$option" page.txt || fail "the manual page does not name $option"
done
grep -q dialout page.txt || fail "the manual page does not explain the dialout group"

# --- removed without a trace --------------------------------------------------------------------
cd "$work"
step "apt-get purge"
trap - EXIT
remove
for package in $coming; do
    [[ $(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true) != *" installed" ]] || fail "$package is left installed"
done
while IFS= read -r file; do
    [[ ! -e $file ]] || fail "$file is left behind"
done <files.txt
for left in /usr/share/zark /usr/share/doc/zark; do
    [[ ! -e $left ]] || fail "$left is left behind"
done
! grep -q zark /usr/share/mime/globs || fail "the MIME database still knows the zark types"
! grep -q zark.desktop /usr/share/applications/mimeinfo.cache || fail "mimeinfo.cache still names zark.desktop"
echo "installed, used and removed $(basename "$deb")"
