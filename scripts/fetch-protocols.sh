#!/bin/sh
# Puts the Wayland protocol descriptions that no Debian binary package ships
# (layer-shell, and virtual-pointer for the end-to-end runs) into third_party-protocols/,
# unpacked from Debian's wlroots source package. The source entries are derived
# from this machine's own apt configuration (its `deb` entries, as `deb-src`)
# into a private apt state under build/apt-source/, so the system's apt
# configuration stays as it was. Needs dpkg-dev (for dpkg-source).
set -eu
cd "$(dirname "$0")/.."
root=$PWD
target="$root/third_party-protocols"
wanted="wlr-layer-shell-unstable-v1.xml wlr-virtual-pointer-unstable-v1.xml"

have_all() {
    for file in $wanted; do [ -s "$target/$file" ] || return 1; done
}
if have_all; then exit 0; fi

state="$root/build/apt-source"
rm -rf "$state"
mkdir -p "$state/lists/partial" "$state/archives/partial" "$state/sources.list.d" "$state/download"

# One-line entries: every `deb` line becomes a `deb-src` line.
for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$list" ] || continue
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$list"
done >"$state/sources.list.d/derived.list"
# deb822 entries: a stanza whose Types hold `deb` gets `Types: deb-src`.
for sources in /etc/apt/sources.list.d/*.sources; do
    [ -f "$sources" ] || continue
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         /(^|\n)Types:[^\n]*(^|[ \t])deb([ \t]|\n|$)/ {
             sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); print }' "$sources"
done >"$state/sources.list.d/derived.sources"

# As root, apt would download as the user _apt, who may not write into build/.
sandbox=""
if [ "$(id -u)" -eq 0 ]; then sandbox="-o APT::Sandbox::User=root"; fi
apt_private() {
    apt-get -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$state/sources.list.d" \
        -o Dir::State::Lists="$state/lists" -o Dir::Cache::Archives="$state/archives" \
        -o Dir::Cache::pkgcache="" -o Dir::Cache::srcpkgcache="" $sandbox "$@"
}
apt_private update >"$state/update.log" 2>&1 || { cat "$state/update.log" >&2; exit 1; }
(cd "$state/download" && apt_private source --download-only wlroots) >"$state/source.log" 2>&1 \
    || { cat "$state/source.log" >&2; exit 1; }

dsc=$(ls "$state/download"/wlroots_*.dsc | head -n 1)
dpkg-source --no-check -x "$dsc" "$state/wlroots" >/dev/null
mkdir -p "$target"
for file in $wanted; do
    cp "$state/wlroots/protocol/$file" "$target/$file"
done
have_all
echo "Protocol descriptions in $target"
