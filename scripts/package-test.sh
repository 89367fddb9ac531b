#!/usr/bin/env bash
# The package as an operator's PC gets it: builds kuzelna_<version>_amd64.deb,
# checks it with lintian (no errors), installs it with apt-get, runs the
# installed program (its version, a short headless match in a new hall's
# folder through --home), checks the folder and its templates, and removes the
# package again.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
started=$SECONDS
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
apt=(-o DPkg::Lock::Timeout=600 -y -q)

fail() {
  echo "package-test: $*" >&2
  exit 1
}

if dpkg-query -W -f='${Status}' kuzelna 2>/dev/null | grep -q "install ok installed"; then
  fail "kuzelna is installed on this machine already; this test installs and removes it, so it leaves it alone"
fi

deb=$(bash scripts/package.sh | tail -n 1)
echo "package-test: $deb, $(du -k "$deb" | cut -f1) KiB"
dpkg-deb --field "$deb" Package Version Depends Recommends

echo "package-test: lintian"
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"

work=$(mktemp -d)
cleanup() {
  if dpkg-query -W -f='${Status}' kuzelna 2>/dev/null | grep -q "install ok installed"; then
    $SUDO apt-get "${apt[@]}" remove kuzelna >/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "package-test: apt-get install"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get "${apt[@]}" install "$(realpath "$deb")" >/dev/null
[ "$(command -v kuzelna)" = /usr/bin/kuzelna ] || fail "kuzelna is not /usr/bin/kuzelna"
[ -x /usr/bin/kuzelna-lanesim ] || fail "no /usr/bin/kuzelna-lanesim"
for file in /usr/share/applications/kuzelna.desktop /usr/share/icons/hicolor/scalable/apps/kuzelna.svg \
  /usr/share/icons/hicolor/48x48/apps/kuzelna.png /usr/share/man/man1/kuzelna.1.gz \
  /usr/share/man/man1/kuzelna-lanesim.1.gz /usr/share/doc/kuzelna/copyright /usr/share/doc/kuzelna/CHANGELOG.md; do
  [ -f "$file" ] || fail "$file is missing"
done

version=$(/usr/bin/kuzelna --version)
echo "package-test: installed $version"
[ "$version" = "$("$BUILD_DIR"/kuzelna --version)" ] || fail "the installed version differs from the build's"

# The desktop entry's command, in a new hall's folder, from another directory,
# on a machine without a display.
read -r -a command < <(sed -n 's/^Exec=//p' /usr/share/applications/kuzelna.desktop)
[ "${command[*]}" = "kuzelna --home" ] || fail "the desktop entry runs '${command[*]}'"
hall=$work/hall/Kuzelna
(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM KUZELNA_HOME="$hall" \
  timeout 300 "${command[@]}" --simulate --headless --speed 100 --pace 0 --kind 40 --lanes 2 --duels 1 --web-port 0 \
  >"$work/match.out" 2>"$work/match.err") || fail "the match ended with status $?: $(tail -n 5 "$work/match.err")"
[ "$(tail -n 1 "$work/match.out")" = "match over" ] || fail "the match did not end: $(tail -n 5 "$work/match.out")"
templates=(/usr/share/kuzelna/templates/*.xls)
[ ${#templates[@]} -eq 10 ] || fail "${#templates[@]} templates installed, not 10"
for template in "${templates[@]}"; do
  cmp -s "$template" "$hall/$(basename "$template")" || fail "$(basename "$template") not copied into $hall"
done
echo "package-test: match over in $hall with ${#templates[@]} templates"

echo "package-test: apt-get remove"
$SUDO apt-get "${apt[@]}" remove kuzelna >/dev/null
[ ! -e /usr/bin/kuzelna ] || fail "/usr/bin/kuzelna is still there after removal"
[ -f "$hall/zapis.xls" ] || fail "removing the package took the hall's files"
echo "package-test: passed in $((SECONDS - started)) s"
