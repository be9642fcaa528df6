#!/usr/bin/env bash
# Shows a real paste: puts sample files and a folder on the clipboard (of a
# headless X server when there is no display), runs build/kelto in a fresh
# folder and shows what arrived.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default >/dev/null

work=$(mktemp -d /tmp/kelto-demo-XXXXXX)
xserver=""
owner=""
cleanup() {
    [ -n "$owner" ] && kill "$owner" 2>/dev/null || true
    [ -n "$xserver" ] && kill "$xserver" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
    exec 3< <(exec Xvfb -displayfd 1 -nolisten tcp -noreset 2>/dev/null)
    xserver=$!
    read -r number <&3
    export DISPLAY=":$number"
    echo "No display: started a headless X server on $DISPLAY"
fi

# What a file manager holds after the user copied these three items.
mkdir -p "$work/copied/Holiday photos/2026" "$work/here"
printf 'Dear diary,\n' > "$work/copied/notes.txt"
printf 'sea\n' > "$work/copied/Holiday photos/beach.jpg"
printf 'snow\n' > "$work/copied/Holiday photos/2026/alps.jpg"
head -c 300000 /dev/urandom > "$work/copied/report 100%.pdf"
printf 'file://%s\r\nfile://%s\r\nfile://%s\r\n' \
    "$work/copied/notes.txt" "$work/copied/Holiday%20photos" "$work/copied/report%20100%25.pdf" |
    xclip -quiet -selection clipboard -t text/uri-list -i >/dev/null 2>&1 &
owner=$!
until xclip -selection clipboard -o -t TARGETS 2>/dev/null | grep -q text/uri-list; do sleep 0.05; done

echo "Clipboard: $(xclip -selection clipboard -o -t text/uri-list | tr -d '\r' | tr '\n' ' ')"
echo "\$ cd $work/here && kelto"
cd "$work/here"
status=0
"$root/build/kelto" || status=$?
echo "Exit status: $status"
echo "What arrived:"
find . -mindepth 1 | sort | sed 's/^/  /'
if diff -r "$work/copied" "$work/here" >/dev/null; then
    echo "Every byte matches the originals."
else
    echo "The copies differ from the originals!" >&2
    exit 1
fi
