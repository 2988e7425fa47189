#!/usr/bin/env bash
# Installs a build into a fresh prefix and uses it as a new user would: the desktop entry and the
# metainfo validate, the desktop entry's command starts the card program (offscreen, with an empty
# home), which makes its empty guest store in the user's data folder and writes nothing into the
# prefix; tovaro-report runs from the prefix too. usage: install-test.sh BUILD_DIR
set -euo pipefail
fail() {
    echo "install-test: $*" >&2
    exit 1
}
[ $# -eq 1 ] || fail "usage: $0 BUILD_DIR"
build=$(realpath "$1")
work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
prefix=$work/prefix
home=$work/home
mkdir -p "$home"

cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/tovaro bin/tovaro-report share/tovaro/temp.ini share/tovaro/frx.fr3 share/tovaro/qingjian1.jpg \
    share/tovaro/qingjian2.jpg share/tovaro/qingjian3.jpg share/tovaro/qingjian4.jpg share/applications/org.tovaro.Tovaro.desktop \
    share/metainfo/org.tovaro.Tovaro.metainfo.xml share/icons/hicolor/scalable/apps/tovaro.svg \
    share/icons/hicolor/48x48/apps/tovaro.png share/man/man1/tovaro-report.1.gz; do
    [ -e "$prefix/$file" ] || fail "$file is not installed"
done
desktop=$prefix/share/applications/org.tovaro.Tovaro.desktop
if command -v desktop-file-validate >/dev/null; then
    # Hints are advice; warnings and errors are not.
    out=$(desktop-file-validate "$desktop" | grep -v ": hint: " || true)
    [ -z "$out" ] || fail "desktop-file-validate: $out"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix/share/metainfo/org.tovaro.Tovaro.metainfo.xml" >"$work/appstream.log" 2>&1 \
        || fail "appstreamcli validate: $(cat "$work/appstream.log")"
fi

listing() { (cd "$prefix" && find . -printf '%p %s %T@ %m\n' | sort); }
before=$(listing)
command=$(sed -n 's/^Exec=//p' "$desktop")
store=$home/.local/share/Tovaro/tovaro.db
env -i PATH="$prefix/bin:/usr/bin:/bin" HOME="$home" QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 \
    $command >"$work/tovaro.log" 2>&1 &
pid=$!
for _ in $(seq 150); do
    [ -s "$store" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the card program ended at start: $(cat "$work/tovaro.log")"
    sleep 0.1
done
[ -s "$store" ] || fail "the card program made no guest store in $home/.local/share/Tovaro"
sleep 1
kill -0 "$pid" 2>/dev/null || fail "the card program ended after start: $(cat "$work/tovaro.log")"
kill -TERM "$pid"
wait "$pid" 2>/dev/null || true
pid=
[ "$before" = "$(listing)" ] || fail "the card program wrote into the prefix: $(diff <(echo "$before") <(listing))"

result=$(env -i PATH="$prefix/bin:/usr/bin:/bin" HOME="$home" tovaro-report calc "1 + 2" 2>/dev/null)
[ "$result" = "3" ] || fail "tovaro-report calc \"1 + 2\" printed \"$result\""
echo "install-test: installed into a fresh prefix, started from the desktop entry, nothing written into the prefix"
