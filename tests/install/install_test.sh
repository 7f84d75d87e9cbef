#!/usr/bin/env bash
# Installs the built program into a temporary DESTDIR and under a plain prefix, and checks what a
# desktop needs of it: the programs run from where they were installed, the desktop entry names
# an installed program and icon, the metadata names the entry and the release the programs are,
# the icons have their sizes, and the desktop's own validators accept the entry and the metadata.
# Usage: install_test.sh BUILD_DIR [CMAKE]
set -euo pipefail
build=$1
cmake=${2:-cmake}
id=org.vormelin.Quillet
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

DESTDIR=$work/dest "$cmake" --install "$build" --prefix /usr >"$work/install.log" ||
  { cat "$work/install.log"; exit 1; }
root=$work/dest/usr

expected=(
  bin/quillet bin/quillet-convert
  share/applications/$id.desktop share/metainfo/$id.metainfo.xml
  share/icons/hicolor/scalable/apps/$id.svg
  share/man/man1/quillet.1 share/man/man1/quillet-convert.1
  share/quillet/help.exe share/quillet/help/qlet.hpt
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for file in "${expected[@]}"; do
  [ -f "$root/$file" ] || fail "$file is not installed"
done
for program in bin/quillet bin/quillet-convert share/quillet/help.exe; do
  [ -x "$root/$program" ] || fail "$program is not executable"
done
# Nothing beyond that list but the folders that hold it.
unexpected=$(cd "$root" && find . -type f | sed 's|^\./||' | sort |
  comm -23 - <(printf '%s\n' "${expected[@]}" | sort))
[ -z "$unexpected" ] || fail "installed but not expected: $unexpected"

# Each PNG is as large as the folder it is in says (width and height from its IHDR header).
for png in "$root"/share/icons/hicolor/*x*/apps/$id.png; do
  folder=$(basename "$(dirname "$(dirname "$png")")")
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
    awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "${width}x${height}" = "$folder" ] || fail "$png is ${width}x${height}"
done

# Configured files are complete.
if grep -l '@[A-Z_]*@' "$root"/share/man/man1/*.1; then fail "unconfigured variables remain"; fi

# The installed programs run from their installed place, without a display.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/bin/quillet" --version) ||
  fail "installed quillet --version failed"
convert_version=$("$root/bin/quillet-convert" --version) ||
  fail "installed quillet-convert --version failed"
[ "${convert_version#quillet-convert }" = "${version#quillet }" ] ||
  fail "versions differ: '$version' and '$convert_version'"

# The desktop entry starts an installed program with an installed icon.
entry=$root/share/applications/$id.desktop
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$root/bin/$exec_program" ] || fail "Exec=$exec_program is not an installed program"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$root/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon=$icon is not installed"

# The metadata names the entry and, as its newest release, the release the programs are.
metainfo=$root/share/metainfo/$id.metainfo.xml
grep -q "<id>$id</id>" "$metainfo" || fail "metainfo id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "metainfo does not launch $id.desktop"
release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
[ "quillet $release" = "$version" ] || fail "newest release $release, program says '$version'"

validated=0
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "desktop-file-validate rejects the desktop entry"
  validated=$((validated + 1))
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "appstreamcli rejects the metadata"; }
  validated=$((validated + 1))
fi

# A plain prefix holds the same tree.
"$cmake" --install "$build" --prefix "$work/prefix" >/dev/null
for file in "${expected[@]}"; do
  [ -f "$work/prefix/$file" ] || fail "$file is not installed under a plain prefix"
done

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
if [ "$validated" -lt 2 ]; then
  echo "installed tree checked; desktop-file-validate or appstreamcli missing, not validated"
  exit 77
fi
echo "installed tree checked and validated"
