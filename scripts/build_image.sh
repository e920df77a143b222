#!/usr/bin/env bash
# Builds the container image `fragtally` from this repository with podman,
# reaching nothing but Debian's packages: the build stage's base is made here
# with debootstrap (once; kept as the image fragtally-build-base:bookworm).
#
#   scripts/build_image.sh [TAG]     TAG default: fragtally
#
# Needs root (debootstrap), podman and runc; scripts/install_deps.sh test
# installs them. Podman's default runtime refuses this machine's cgroup
# layout, so every container here runs with runc.
set -euo pipefail
cd "$(dirname "$0")/.."
tag=${1:-fragtally}
base=localhost/fragtally-build-base:bookworm
mirror=${FRAGTALLY_DEBIAN_MIRROR:-http://deb.debian.org/debian}
say() { echo "build_image: $*" >&2; }

if ! podman image exists "$base"; then
  say "making the build stage's base from $mirror"
  rootfs=$(mktemp -d /tmp/fragtally-rootfs.XXXXXX)
  trap 'rm -rf "$rootfs"' EXIT
  debootstrap --variant=minbase bookworm "$rootfs" "$mirror" > "$rootfs.log" 2>&1 ||
    { tail -20 "$rootfs.log" >&2; exit 1; }
  rm -f "$rootfs.log"
  tar -C "$rootfs" -c . | podman import --quiet - "$base" > /dev/null
fi

say "building $tag"
podman --runtime runc build --quiet --network host --ulimit nofile=1024:1024 --ulimit nproc=1024:1024 --build-arg BASE="$base" -f Containerfile -t "$tag" . > /dev/null
say "built $tag: $(podman image inspect --format '{{.Size}}' "$tag") bytes"
