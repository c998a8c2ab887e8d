#!/usr/bin/env bash
# Cross-builds the libraries the Windows build of the game needs into OUT/prefix, with
# MinGW-w64's posix-thread compilers and the toolchain file beside this script:
#   SDL2          a DLL (SDL2.dll), its import library, SDL2main and SDL's CMake package
#   Ogg, Vorbis   static libraries (ogg, vorbis, vorbisfile, vorbisenc)
#   zlib, libpng  static libraries, for the kit's PNG pictures
#   OpenAL Soft   a DLL (OpenAL32.dll) with only Windows backends, which the game loads at run
#                 time; its headers give the game the AL types and enums
# Both DLLs carry their GCC runtime inside, so they need only Windows' own DLLs.
#
#   tools/windows/build-libraries.sh build-windows
#
# The sources are the Debian source packages pinned in sources.list, fetched with apt-get
# through a deb-src entry and list folder of the script's own (the system's apt sources stay as
# they are); every file is checked against its sha256 before anything is unpacked. A stamp per
# library records what it was built from, so a second run reuses finished builds and redoes a
# partial one. Installs nothing on the system: the packages it needs are listed in
# tools/setup.sh windows.
set -Eeuo pipefail

fail() {
    echo "build-libraries: $*" >&2
    exit 1
}
trap 'fail "unexpected failure at line $LINENO: $BASH_COMMAND"' ERR

[ $# -eq 1 ] || fail "usage: tools/windows/build-libraries.sh OUTPUT_FOLDER"
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$1" || fail "cannot create the output folder $1"
out=$(cd "$1" && pwd)
sources_list="$here/sources.list"
toolchain="$here/MinGW.cmake"
sources="$out/sources"
apt_dir="$sources/apt"
prefix="$out/prefix"
builds="$out/build"
logs="$out/logs"
stamps="$out/stamps"

for tool in x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-g++-posix \
    x86_64-w64-mingw32-windres x86_64-w64-mingw32-objdump cmake apt-get sha256sum tar; do
    command -v "$tool" > /dev/null || fail "$tool is missing; run tools/setup.sh windows first"
done
[ -r /usr/share/keyrings/debian-archive-keyring.gpg ] ||
    fail "/usr/share/keyrings/debian-archive-keyring.gpg is missing (package debian-archive-keyring)"
mkdir -p "$sources" "$apt_dir/lists/partial" "$apt_dir/cache" "$prefix" "$builds" "$logs" "$stamps"

# Runs one step with its output in a log, then prints how long it took. A failed step ends the
# script with one line naming the step and its log.
run_step() {
    local label=$1 log=$2
    shift 2
    local started=$SECONDS
    printf '%s ... ' "$label"
    if ! "$@" > "$log" 2>&1; then
        echo "FAILED"
        fail "$label failed; see $log"
    fi
    echo "took $((SECONDS - started)) s"
}

# ---- The pinned sources ----------------------------------------------------------------------

declare -A version_of=() suite_of=()
declare -A files_of=()
declare -A sha256_of=()
line_number=0
while read -r package version suite file sha256 extra || [ -n "${package:-}" ]; do
    line_number=$((line_number + 1))
    [ -z "$package" ] || [ "${package:0:1}" = "#" ] && continue
    [[ -n "$sha256" && -z "$extra" && "$sha256" =~ ^[0-9a-f]{64}$ && "$file" != */* ]] ||
        fail "sources.list line $line_number is not 'package version suite file sha256'"
    if [ -n "${version_of[$package]:-}" ] &&
        [ "${version_of[$package]} ${suite_of[$package]}" != "$version $suite" ]; then
        fail "sources.list line $line_number gives $package a second version or suite"
    fi
    version_of[$package]=$version
    suite_of[$package]=$suite
    files_of[$package]+="$file "
    sha256_of[$file]=$sha256
done < "$sources_list"

# Succeeds when the downloaded file is there with the sha256 that sources.list pins.
file_matches() {
    [ -f "$sources/$1" ] && [ "$(sha256sum "$sources/$1" | cut -d' ' -f1)" = "${sha256_of[$1]}" ]
}

package_present() {
    local file
    for file in ${files_of[$1]}; do
        file_matches "$file" || return 1
    done
}

apt_options=(
    -o Dir::Etc::sourcelist=/dev/null
    -o "Dir::Etc::sourceparts=$apt_dir"
    -o "Dir::State::Lists=$apt_dir/lists"
    -o "Dir::Cache=$apt_dir/cache"
    # The downloads land in a folder apt's own download user cannot write to; every file is
    # checked against its pinned sha256 afterwards.
    -o APT::Sandbox::User=root
)

update_source_lists() {
    local suites
    suites=$(printf '%s\n' "${suite_of[@]}" | sort -u | tr '\n' ' ')
    cat > "$apt_dir/windows-libraries.sources" <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: ${suites% }
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    apt-get "${apt_options[@]}" update
}

# apt-get source fails for a package whose .dsc is not served even when its tarball was
# fetched; what counts is that every pinned file is there afterwards with its sha256. A
# security update replaces a Debian version in the archive but keeps its upstream tarball, so
# when the pinned version is gone the suite's current one brings the same pinned tarball.
download_package() {
    (cd "$sources" && apt-get "${apt_options[@]}" source --download-only "$1=${version_of[$1]}") &&
        return
    echo "apt-get source $1=${version_of[$1]} exited with status $?; trying $1/${suite_of[$1]}"
    (cd "$sources" && apt-get "${apt_options[@]}" source --download-only "$1/${suite_of[$1]}") ||
        echo "apt-get source exited with status $?"
}

fetch_package() {
    local package=$1 file actual
    for file in ${files_of[$package]}; do
        file_matches "$file" || rm -f "$sources/$file"
    done
    run_step "$package ${version_of[$package]}: download" "$logs/$package-download.log" \
        download_package "$package"
    for file in ${files_of[$package]}; do
        if [ ! -f "$sources/$file" ]; then
            fail "$package: $file was not downloaded ($(grep -m1 '^E:' "$logs/$package-download.log" ||
                echo "see $logs/$package-download.log"))"
        fi
        actual=$(sha256sum "$sources/$file" | cut -d' ' -f1)
        [ "$actual" = "${sha256_of[$file]}" ] ||
            fail "$file has sha256 $actual, sources.list pins ${sha256_of[$file]}"
    done
}

fetch_sources() {
    local package missing=()
    for package in "${!version_of[@]}"; do
        package_present "$package" || missing+=("$package")
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    run_step "apt source lists: update" "$logs/apt-update.log" update_source_lists
    for package in "${missing[@]}"; do
        fetch_package "$package"
    done
}

# ---- The builds ------------------------------------------------------------------------------

compilers_identity=$(x86_64-w64-mingw32-gcc-posix --version | head -1)
toolchain_sha256=$(sha256sum "$toolchain" | cut -d' ' -f1)
declare -A stamp_key_of=()

# Everything a finished build depends on: the source, the compiler, the toolchain file, the
# options and the builds it links against. A stamp holding another key is rebuilt.
stamp_key() {
    local name=$1 package=$2 options=$3 depends=$4 file key dependency
    key="$name ${version_of[$package]}"
    for file in ${files_of[$package]}; do
        [[ "$file" == *.orig.tar.* ]] && key+=" $file=${sha256_of[$file]}"
    done
    key+=" compiler=$compilers_identity toolchain=$toolchain_sha256"
    key+=" options=$(printf '%s' "$options" | sha256sum | cut -d' ' -f1)"
    for dependency in $depends; do
        key+=" $dependency=(${stamp_key_of[$dependency]})"
    done
    printf '%s' "$key"
}

# A finished build: its stamp holds the expected key and every file it installed is there.
build_is_current() {
    local name=$1 key=$2 file
    [ -f "$stamps/$name.stamp" ] && [ "$(cat "$stamps/$name.stamp")" = "$key" ] || return 1
    [ -f "$stamps/$name.files" ] || return 1
    while IFS= read -r file; do
        [ -e "$file" ] || return 1
    done < "$stamps/$name.files"
}

unpack() {
    local tarball=$1 tree=$2
    rm -rf "$tree" && mkdir -p "$tree" && tar -xf "$tarball" -C "$tree" --strip-components=1
}

generator=()
command -v ninja > /dev/null && generator=(-G Ninja)

# The DLLs ship beside the game on machines that have no MinGW runtime: none may import one.
check_system_imports() {
    local dll=$1 foreign
    foreign=$(x86_64-w64-mingw32-objdump -p "$dll" | sed -n 's/^[[:space:]]*DLL Name: //p' |
        grep -i '^lib' | tr '\n' ' ' || true)
    [ -z "$foreign" ] || fail "$(basename "$dll") imports ${foreign% } (not a Windows system DLL)"
}

# build_library NAME PACKAGE "DEPENDS" CMAKE_OPTION...
build_library() {
    local name=$1 package=$2 depends=$3
    shift 3
    local options=("$@") key orig="" file tree build started
    key=$(stamp_key "$name" "$package" "${options[*]}" "$depends")
    stamp_key_of[$name]=$key
    if build_is_current "$name" "$key"; then
        echo "$name ${version_of[$package]}: up to date"
        return
    fi
    started=$SECONDS

    # Take away the stamp first, so an interrupted build is redone from scratch next time,
    # and the files an earlier build installed, so no stale header outlives its library.
    rm -f "$stamps/$name.stamp"
    if [ -f "$stamps/$name.files" ]; then
        while IFS= read -r file; do
            rm -f "$file"
        done < "$stamps/$name.files"
        rm -f "$stamps/$name.files"
    fi

    for file in ${files_of[$package]}; do
        [[ "$file" == *.orig.tar.* ]] && orig=$file
    done
    [ -n "$orig" ] || fail "sources.list pins no .orig.tar.* for $package"
    file_matches "$orig" || fail "$orig does not match its sha256 in sources.list"
    tree="$sources/$name-${version_of[$package]#*:}"
    build="$builds/$name"
    run_step "$name: unpack $orig" "$logs/$name-unpack.log" unpack "$sources/$orig" "$tree"
    if declare -F "before_configure_$name" > /dev/null; then
        "before_configure_$name" "$tree"
    fi
    rm -rf "$build"
    run_step "$name: configure" "$logs/$name-configure.log" \
        cmake -S "$tree" -B "$build" "${generator[@]}" -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DWINDOWS_PREFIX="$prefix" \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
        -DCMAKE_BUILD_TYPE=Release "${options[@]}"
    run_step "$name: build" "$logs/$name-build.log" cmake --build "$build" -j2
    run_step "$name: install" "$logs/$name-install.log" cmake --install "$build" --strip
    cp "$build/install_manifest.txt" "$stamps/$name.files"
    # A library whose install needs setting right has a function after_install_NAME, which
    # prints the files it made; the files it took away leave the list.
    if declare -F "after_install_$name" > /dev/null; then
        local made
        made=$("after_install_$name")
        while IFS= read -r file; do
            [ ! -e "$file" ] || echo "$file"
        done < "$build/install_manifest.txt" > "$stamps/$name.files"
        [ -z "$made" ] || echo "$made" >> "$stamps/$name.files"
    fi
    while IFS= read -r file; do
        if [[ "$file" == *.dll ]]; then
            check_system_imports "$file"
        fi
    done < "$stamps/$name.files"
    printf '%s' "$key" > "$stamps/$name.stamp"
    echo "$name: built in $((SECONDS - started)) s"
}

total_started=$SECONDS
fetch_sources

build_library Ogg libogg "" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF -DINSTALL_DOCS=OFF

build_library Vorbis libvorbis "Ogg" \
    -DBUILD_SHARED_LIBS=OFF

# Debian's zlib source leaves out win32/, whose version resource zlib's build compiles into the
# DLL it always makes; that DLL is thrown away below, so a bare one stands in.
before_configure_Zlib() {
    mkdir -p "$1/win32" && printf '1 VERSIONINFO\nFILEVERSION 1,2,13,0\nBEGIN\nEND\n' > "$1/win32/zlib1.rc"
}

# zlib's own build always makes a DLL as well, and names its static library zlibstatic while
# its zlib.pc asks for -lz: only the static library stays, under the name zlib.pc gives.
after_install_Zlib() {
    rm -f "$prefix/bin/libzlib.dll" "$prefix/lib/libzlib.dll.a"
    mv "$prefix/lib/libzlibstatic.a" "$prefix/lib/libz.a"
    echo "$prefix/lib/libz.a"
}

build_library Zlib zlib "" \
    -DINSTALL_PKGCONFIG_DIR="$prefix/lib/pkgconfig"

build_library Png libpng1.6 "Zlib" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_FRAMEWORK=OFF \
    -DZLIB_ROOT="$prefix"

build_library SDL2 libsdl2 "" \
    -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF -DSDL2_DISABLE_UNINSTALL=ON

build_library OpenAL openal-soft "" \
    -DLIBTYPE=SHARED -DALSOFT_BUILD_ROUTER=OFF -DALSOFT_BUILD_IMPORT_LIB=OFF \
    -DALSOFT_UTILS=OFF -DALSOFT_NO_CONFIG_UTIL=ON -DALSOFT_EXAMPLES=OFF -DALSOFT_TESTS=OFF \
    -DALSOFT_INSTALL_EXAMPLES=OFF -DALSOFT_INSTALL_UTILS=OFF -DALSOFT_INSTALL_CONFIG=OFF \
    -DALSOFT_INSTALL_HRTF_DATA=OFF -DALSOFT_INSTALL_AMBDEC_PRESETS=OFF \
    -DALSOFT_EMBED_HRTF_DATA=ON -DALSOFT_UPDATE_BUILD_VERSION=OFF \
    -DALSOFT_STATIC_LIBGCC=ON -DALSOFT_STATIC_STDCXX=ON -DALSOFT_STATIC_WINPTHREAD=ON \
    -DALSOFT_BACKEND_WASAPI=ON -DALSOFT_REQUIRE_WASAPI=ON \
    -DALSOFT_BACKEND_DSOUND=ON -DALSOFT_REQUIRE_DSOUND=ON \
    -DALSOFT_BACKEND_WINMM=ON -DALSOFT_REQUIRE_WINMM=ON -DALSOFT_BACKEND_WAVE=ON \
    -DALSOFT_BACKEND_PIPEWIRE=OFF -DALSOFT_BACKEND_PULSEAUDIO=OFF -DALSOFT_BACKEND_JACK=OFF \
    -DALSOFT_BACKEND_PORTAUDIO=OFF -DALSOFT_BACKEND_SDL2=OFF -DALSOFT_BACKEND_SDL3=OFF \
    -DALSOFT_BACKEND_OTHERIO=OFF -DALSOFT_BACKEND_COREAUDIO=OFF -DALSOFT_BACKEND_OBOE=OFF \
    -DALSOFT_BACKEND_OPENSL=OFF

echo "Windows libraries ready in $prefix (took $((SECONDS - total_started)) s)"
