#!/bin/sh
# The Linux program on Debian 13 (trixie) as well: its builds, unit tests, end-to-end
# runs and packages in a Debian 13 root made by debootstrap, with this tree copied to /root/zimblet.
#   scripts/debian13.sh              the whole stage
#   scripts/debian13.sh COMMAND...   COMMAND inside the root, in /root/zimblet
# The root is kept in ZIMBLET_DEBIAN13_ROOT (default /var/cache/zimblet/debian13), the
# root's build/ with it; remove the folder to start afresh. Needs root (or sudo) and debootstrap.
set -eu
[ "$(id -u)" -eq 0 ] || exec sudo env ZIMBLET_DEBIAN13_ROOT="${ZIMBLET_DEBIAN13_ROOT:-}" "$0" "$@"
cd "$(dirname "$0")/.."
root=${ZIMBLET_DEBIAN13_ROOT:-/var/cache/zimblet/debian13}
tree="$root/root/zimblet"

mkdir -p "$(dirname "$root")"
# One shell at a time makes the root, copies the tree and installs; the commands then
# run side by side.
exec 9>"$root.lock"
flock 9

if [ ! -f "$root/.zimblet-debootstrapped" ]; then
    if grep -q " $root/" /proc/mounts; then echo "$root has mounts inside; not removing it" >&2; exit 1; fi
    # The machine's own mirror: the one its apt configuration names for its own release.
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    mirror=$(apt-get indextargets --format '$(REPO_URI)' "Release: $codename" 'Target-Of: deb' | head -n 1)
    [ -n "$mirror" ] || { echo "no apt entry for $codename to take the mirror from" >&2; exit 1; }
    rm -rf "$root"
    debootstrap --variant=minbase trixie "$root" "$mirror"
    touch "$root/.zimblet-debootstrapped"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"

# Tracked and new files, not the host's build/; the root keeps its own build/. Only what
# differs is written, and at the time of the copy: the root's build then sees a change
# however old the file's own time is. What is gone here goes there too.
mkdir -p "$tree"
chmod 700 "$root/root"
files=$(git -c safe.directory="$PWD" ls-files --cached --others --exclude-standard)  # the clone may be a user's
[ ! -d third_party-protocols ] || files="$files
$(find third_party-protocols -type f)"
printf '%s\n' "$files" | while read -r file; do
    [ ! -f "$file" ] || cmp -s "$file" "$tree/$file" \
        || { mkdir -p "$tree/$(dirname "$file")"; cp --remove-destination "$file" "$tree/$file"; }
done
(cd "$tree" && find . -path ./build -prune -o -type f -print | sed 's|^\./||' | grep -vxF "$files" | xargs -r rm -f)

if [ $# -eq 0 ]; then
    # Every step runs, so that one run shows all that fails.
    set -- sh -c 'failed=""
        step() { printf "\n=== Debian 13: %s\n" "$*"; sh -c "$*" || failed="$failed
  $*"; }
        step "cmake --preset linux && cmake --build --preset linux && ctest --preset linux -j2"
        step "cmake --preset sanitize && cmake --build --preset sanitize && ctest --preset sanitize -j2"
        step "tests/e2e/run_e2e.py build/linux --desktop x11"
        step "tests/e2e/run_e2e.py build/linux --desktop wayland --repeat 2"
        step "cd build/linux && rm -f zimblet*.deb zimblet*.rpm && cpack -G \"DEB;RPM\" && cd ../.. \
              && tests/e2e/run_e2e.py build/linux --desktop packages"
        [ -z "$failed" ] || { printf "\nFailed on Debian 13:%s\n" "$failed" >&2; exit 1; }'
fi

# The mounts live in a mount namespace of this run's own: they go with its last process,
# after a failure or a kill too, and another shell's run never sees them. That needs "/"
# to be a mount point, which it is on a machine or in a container, not in a plain chroot.
if ! unshare --mount --propagation private true 2>/dev/null; then
    echo "$0: cannot make a private mount namespace here; in a chroot, bind its root onto itself first" >&2
    exit 1
fi
exec unshare --mount --propagation private sh -euc '
    root=$1; shift
    mount -t proc proc "$root/proc"
    mount -t sysfs sysfs "$root/sys"
    mount --bind /dev "$root/dev"
    mount --bind /dev/pts "$root/dev/pts"
    mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
    # A /tmp of its own: no X display locks or sockets of an earlier or a parallel run.
    mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
    mkdir -m 1777 "$root/tmp/.X11-unix"
    inside() {
        chroot "$root" env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
            LANG=C.UTF-8 TERM="${TERM:-dumb}" sh -c "cd /root/zimblet && exec \"\$@\"" sh "$@"
    }
    inside scripts/install-deps.sh linux
    flock -u 9
    exec 9>&-
    inside "$@"
' sh "$root" "$@"
