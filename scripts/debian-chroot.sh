#!/usr/bin/env bash
# Runs a command inside a chroot of the other supported Debian release (trixie or bookworm), on a fresh clone
# of this checkout at /root/veldranox. Needs root. CI runs Debian 13 this way on its Debian 12 machines, and a
# Debian 13 machine builds for Windows this way (scripts/build-windows.sh).
#
# The chroot is made with debootstrap from this machine's own apt sources, the release's name swapped in. It is
# kept between runs on the same machine (and made anew once it is missing or a week old), and a ccache
# directory outside it is bound in, so that a warm run does not install or compile everything again.
# Everything mounted here is unmounted on exit, also on failure.
#
#   scripts/debian-chroot.sh trixie 'scripts/install-deps.sh && ctest ...'
set -euo pipefail

source_dir="$(cd "$(dirname "$0")/.." && pwd)"
cache_root="${VELDRANOX_CHROOT_CACHE:-/var/cache/veldranox-ci}"
max_age_days=7

if [ "$#" -ne 2 ] || { [ "$1" != trixie ] && [ "$1" != bookworm ]; }; then
    echo "usage: $0 trixie|bookworm 'COMMAND'" >&2
    exit 2
fi
release="$1"
shift
host_release="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
chroot_dir="${cache_root}/${release}"
ccache_dir="${cache_root}/ccache-${release}"

for tool in debootstrap git setsid; do
    if ! command -v "${tool}" >/dev/null; then
        echo "${release} chroot: ${tool} is needed on this machine" >&2
        exit 1
    fi
done

mkdir -p "${cache_root}" "${ccache_dir}"

mounted=()
unmount_all() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount -l "${mounted[i]}" 2>/dev/null || true
    done
}
trap unmount_all EXIT

stamp="${chroot_dir}/.veldranox-chroot-created"
if [ -f "${stamp}" ] && [ -z "$(find "${stamp}" -mtime +"${max_age_days}")" ]; then
    echo "${release} chroot: reusing ${chroot_dir}"
else
    echo "${release} chroot: creating ${chroot_dir}"
    # Anything left mounted in an old chroot must go before its tree is removed.
    for m in dev/pts dev proc root/.cache/ccache; do
        umount -l "${chroot_dir}/${m}" 2>/dev/null || true
    done
    rm -rf --one-file-system "${chroot_dir}" "${chroot_dir}.new"
    debootstrap --variant=minbase "${release}" "${chroot_dir}.new" >"${cache_root}/debootstrap.log" 2>&1 ||
        { tail -n 20 "${cache_root}/debootstrap.log" >&2; exit 1; }
    sed "s/${host_release}/${release}/g" /etc/apt/sources.list.d/debian.sources \
        >"${chroot_dir}.new/etc/apt/sources.list.d/debian.sources"
    rm -f "${chroot_dir}.new/etc/apt/sources.list"
    mv "${chroot_dir}.new" "${chroot_dir}"
fi

cp /etc/resolv.conf "${chroot_dir}/etc/resolv.conf"

mount -t proc proc "${chroot_dir}/proc" && mounted+=("${chroot_dir}/proc")
mount --bind /dev "${chroot_dir}/dev" && mounted+=("${chroot_dir}/dev")
mount --bind /dev/pts "${chroot_dir}/dev/pts" && mounted+=("${chroot_dir}/dev/pts")
mkdir -p "${chroot_dir}/root/.cache/ccache"
mount --bind "${ccache_dir}" "${chroot_dir}/root/.cache/ccache" && mounted+=("${chroot_dir}/root/.cache/ccache")

if [ ! -f "${stamp}" ]; then
    # git brings the checkout in; everything else comes from the project's own install script.
    chroot "${chroot_dir}" /usr/bin/env DEBIAN_FRONTEND=noninteractive sh -c \
        'apt-get update -qq && apt-get install -y -qq --no-install-recommends git ca-certificates >/dev/null'
    touch "${stamp}"
fi

# X servers in the chroot and on the machine around it share one namespace of abstract sockets but not the lock
# files in /tmp by which xvfb-run -a finds a free display, so both would take :99 and a test could talk to the
# other's display. The chroot's xvfb-run starts its search far from the machine's.
case "${release}" in
    trixie) first_display=1099 ;;
    *) first_display=2099 ;;
esac
mkdir -p "${chroot_dir}/usr/local/bin"
printf '#!/bin/sh\nexec /usr/bin/xvfb-run --server-num=%s "$@"\n' "${first_display}" >"${chroot_dir}/usr/local/bin/xvfb-run"
chmod +x "${chroot_dir}/usr/local/bin/xvfb-run"

rm -rf "${chroot_dir}/root/veldranox"
git clone -q "${source_dir}" "${chroot_dir}/root/veldranox"

# In a process group of its own, so that a caller that gives up on this run (CI, when another stage has failed)
# stops the whole build inside, and the mounts can go.
setsid chroot "${chroot_dir}" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    TERM="${TERM:-dumb}" CCACHE_DIR=/root/.cache/ccache CI="${CI:-}" \
    bash -c "cd /root/veldranox && $1" &
inside=$!
trap 'kill -TERM -- -"${inside}" 2>/dev/null; wait "${inside}"; exit 143' TERM INT
status=0
wait "${inside}" || status=$?
exit "${status}"
