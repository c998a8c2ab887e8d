#!/usr/bin/env bash
# Builds the Debian packages of the game from this source tree:
#   tools/make_package.sh [BUILD_DIR]
#   -> BUILD_DIR/brindles-cataclysm_VERSION_ARCH.deb, the programs, and
#      BUILD_DIR/brindles-cataclysm-data_VERSION_all.deb, the assets they load.
# BUILD_DIR is build/ by default. The tree is copied to BUILD_DIR/package/ and built there with
# dpkg-buildpackage, so nothing is written beside the clone; the .changes and .buildinfo files
# stay there. Prints the paths of the two packages, the programs' first, one a line. Needs the
# packages of debian/control's Build-Depends (tools/setup.sh test installs them, with debhelper).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
mkdir -p "${1:-$root/build}"
out="$(cd "${1:-$root/build}" && pwd)"
cd "$root"

version=$(dpkg-parsechangelog --show-field Version)
project_version=$(sed -n 's/^project(BrindlesCataclysm VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
if [ "$version" != "$project_version" ]; then
    echo "make_package.sh: debian/changelog says $version, CMakeLists.txt $project_version" >&2
    exit 1
fi
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
work="$out/package"
source_copy="$work/brindles-cataclysm-$version"
rm -rf "$work"
mkdir -p "$source_copy"
# Everything but the version control and the build folders.
tar -C "$root" --exclude=./.git --exclude='./build*' --exclude=./out -cf - . | tar -C "$source_copy" -xf -

(cd "$source_copy" && dpkg-buildpackage --build=binary --no-sign) > "$work/build.log" 2>&1 || {
    tail -n 30 "$work/build.log" >&2
    echo "make_package.sh: dpkg-buildpackage failed; the whole log is $work/build.log" >&2
    exit 1
}
for package in "brindles-cataclysm_${version}_${arch}.deb" \
    "brindles-cataclysm-data_${version}_all.deb"; do
    mv "$work/$package" "$out/$package"
    echo "$out/$package"
done
