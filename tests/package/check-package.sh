#!/usr/bin/env bash
# Builds the Debian package from this build tree with CPack, unpacks it into a temporary root and checks
# what an installed system would get: the files and links, the control data, the maintainer scripts, the
# desktop entry, the metainfo, and that the unpacked programs answer --version.
# Usage: check-package.sh CPACK BUILD_DIR VERSION
set -uo pipefail
cpack=$1 build=$2 version=$3

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() { # description command...
  local what=$1; shift
  "$@" >/dev/null 2>&1 || fail "$what"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  echo "FAIL: cpack could not build the package" >&2
  exit 1
fi
deb="$work/out/radiofleet_${version}_amd64.deb"
[ -f "$deb" ] || { ls -l "$work/out" >&2; echo "FAIL: no $deb" >&2; exit 1; }

root="$work/root" control="$work/control"
dpkg-deb -x "$deb" "$root" && dpkg-deb -e "$deb" "$control" || { echo "FAIL: cannot unpack" >&2; exit 1; }

echo "== control data"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = radiofleet ] || fail "package name: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version: $(field Version), not the project's $version"
[ "$(field Architecture)" = amd64 ] || fail "architecture: $(field Architecture)"
depends=$(field Depends)
# The names alone, one a line: "libc6 (>= 2.34), libcap2-bin" gives libc6 and libcap2-bin.
depends_names=$(echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/[ (].*//')
for lib in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6 libsqlite3-0 libcap2-bin; do
  grep -qxF "$lib" <<<"$depends_names" || fail "Depends lacks $lib: $depends"
done
recommends=$(field Recommends)
[[ "$recommends" == *"fonts-noto-cjk | fonts-wqy-microhei"* ]] || fail "Recommends lacks a CJK font: $recommends"
[[ "$recommends" == *qt6-translations-l10n* ]] || fail "Recommends lacks Qt's translations: $recommends"

echo "== files"
bundle=opt/radiofleet
expected=(
  $bundle/radiofleet $bundle/radiofleet-cli $bundle/libnicscan.so $bundle/Setting.ini
  $bundle/Languages/Language.ini $bundle/Languages/English.lng $bundle/Languages/Chinese.lng
  $bundle/Skin/Application.ico $bundle/Skin/main_bk.jpg $bundle/Skin/wait_search.gif $bundle/Help/help.html
  $bundle/service/Relayd
  usr/share/applications/org.radiofleet.RadioFleet.desktop usr/share/metainfo/org.radiofleet.RadioFleet.metainfo.xml
  usr/share/man/man1/radiofleet.1.gz usr/share/man/man1/radiofleet-cli.1.gz
  usr/share/bash-completion/completions/radiofleet-cli
  usr/share/doc/radiofleet/copyright usr/share/doc/radiofleet/changelog.gz usr/share/lintian/overrides/radiofleet
)
for size in 48 128 256; do expected+=(usr/share/icons/hicolor/${size}x${size}/apps/radiofleet.png); done
for f in "${expected[@]}"; do [ -f "$root/$f" ] || fail "missing /$f"; done
for f in radiofleet radiofleet-cli service/Relayd; do
  [ -x "$root/$bundle/$f" ] || fail "/$bundle/$f is not executable"
done
# Only the bundle, the two links and the desktop's shared folders; nothing the program writes at run time.
while read -r mode owner _ _ _ path rest; do
  path=${path#./}
  [ "$owner" = root/root ] || fail "/$path belongs to $owner"
  case "$path" in
    "" | opt/ | opt/radiofleet/* | usr/ | usr/bin/ | usr/bin/radiofleet | usr/bin/radiofleet-cli | usr/share/*) ;;
    *) fail "unexpected /$path" ;;
  esac
  case "$path" in
    */data.mdb* | */Relayd.ini) fail "/$path is written at run time and must not be in the package" ;;
  esac
  [ "${mode:0:1}" != l ] && [ "${mode:8:1}" = w ] && fail "/$path is writable by everyone ($mode)"
done < <(dpkg-deb -c "$deb")
png_side() { # width and height from the PNG header
  od -An -tu1 -j16 -N8 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}'
}
for size in 48 128 256; do
  icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/radiofleet.png"
  [ -f "$icon" ] && [ "$(png_side "$icon")" != "${size}x${size}" ] && fail "icon $icon is $(png_side "$icon")"
done
for page in radiofleet radiofleet-cli; do
  man="$root/usr/share/man/man1/$page.1.gz"
  gzip -t "$man" 2>/dev/null || fail "$page.1.gz is not gzip"
  zcat "$man" 2>/dev/null | grep -q "^\.TH .*\"RadioFleet $version\"" || fail "$page.1 does not name version $version"
done

echo "== links"
for program in radiofleet radiofleet-cli; do
  link="$root/usr/bin/$program"
  if [ ! -L "$link" ]; then
    fail "/usr/bin/$program is not a link"
  elif [ "$(readlink "$link")" != "/$bundle/$program" ]; then
    fail "/usr/bin/$program points to $(readlink "$link")"
  fi
done

echo "== maintainer scripts"
for script in postinst prerm postrm; do
  [ -x "$control/$script" ] || fail "$script missing or not executable"
  check "$script is not valid sh" sh -n "$control/$script"
done
grep -q "setcap cap_net_bind_service=+ep" "$control/postinst" && grep -q "/$bundle/service/Relayd" "$control/postinst" ||
  fail "postinst does not give Relayd cap_net_bind_service"
# The removal scripts run against a copy of the bundle in the temporary folder: prerm ends a firmware
# server running from it, postrm removes what a run as root wrote into it.
fake="$work/fake"
mkdir -p "$fake/opt/radiofleet/service" "$work/firmware"
cp "$root/$bundle/service/Relayd" "$fake/opt/radiofleet/service/Relayd"
printf '[SERVER]\nDirectory=%s\nPort=%s\n' "$work/firmware" $((20000 + RANDOM % 20000)) >"$work/Relayd.ini"
"$fake/opt/radiofleet/service/Relayd" --config "$work/Relayd.ini" 2>"$work/relayd.log" &
server=$!
for script in prerm postrm; do sed "s|/opt/radiofleet|$fake/opt/radiofleet|g" "$control/$script" >"$work/$script"; done
# prerm finds the server by its executable; wait until the server runs from there.
for _ in $(seq 100); do
  [ "$(readlink "/proc/$server/exe" 2>/dev/null)" = "$fake/opt/radiofleet/service/Relayd" ] && break
  sleep 0.05
done
sh "$work/prerm" remove || fail "prerm remove failed"
running() { [ -n "$(readlink "/proc/$server/exe" 2>/dev/null)" ]; } # an ended child has no executable
for _ in $(seq 200); do running || break; sleep 0.05; done
if running; then
  fail "prerm remove left the firmware server running"
  kill -TERM "$server"
fi
wait "$server" 2>/dev/null
touch "$fake/opt/radiofleet/data.mdb" "$fake/opt/radiofleet/service/Relayd.ini"
rm "$fake/opt/radiofleet/service/Relayd" # as dpkg does before postrm
sh "$work/postrm" purge || fail "postrm purge failed"
[ ! -e "$fake/opt/radiofleet" ] || fail "postrm purge left $(find "$fake/opt" | tr '\n' ' ')"

echo "== desktop entry and metainfo"
desktop="$root/usr/share/applications/org.radiofleet.RadioFleet.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx "Exec=radiofleet" "$desktop" || fail "desktop entry does not start radiofleet"
grep -qx "Categories=Network;.*" "$desktop" || fail "desktop entry is not in the Network category"
grep -q "^Name\[zh_CN\]=." "$desktop" || fail "desktop entry has no Chinese name"
grep -qx "Icon=radiofleet" "$desktop" || fail "desktop entry names another icon"
metainfo="$root/usr/share/metainfo/org.radiofleet.RadioFleet.metainfo.xml"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo does not name version $version"

echo "== the unpacked programs"
answer() { # expected-text program args...
  local want=$1 got
  shift
  got=$("$@" 2>&1) || fail "$* exited with $?"
  [ "$got" = "$want" ] || fail "$* said \"$got\", not \"$want\""
}
answer "radiofleet-cli $version" "$root/$bundle/radiofleet-cli" --version
answer "radiofleet $version" env QT_QPA_PLATFORM=offscreen "$root/$bundle/radiofleet" --version
answer "Relayd $version" "$root/$bundle/service/Relayd" --version
# Read to the end: grep -q would leave at the first line, and the rest of the usage would meet a closed pipe.
"$root/$bundle/radiofleet-cli" --help | grep "radiofleet-cli search" >/dev/null || fail "radiofleet-cli --help"
complete_words() { # the completion's answer after the given words, the last one being completed
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _radiofleet_cli; echo "${COMPREPLY[*]}"' \
    _ "$root/usr/share/bash-completion/completions/radiofleet-cli" "$root/$bundle/radiofleet-cli" "$@"
}
[ "$(complete_words se)" = "search set-ip" ] || fail "completion of 'se': $(complete_words se)"
[ "$(complete_words search --sort "")" = "mac ip name" ] || fail "completion of search --sort: $(complete_words search --sort "")"
QT_QPA_PLATFORM=offscreen "$root/$bundle/radiofleet" --help | grep -q -- "--language" || fail "radiofleet --help"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "package radiofleet_${version}_amd64.deb: every check passed"
