#!/usr/bin/env bash
# Packs the cross-built game for Windows players:
#   tools/windows/pack.sh GAME_BUILD LINUX_BUILD OUT
# GAME_BUILD is the Windows build folder (its bin/ holds the programs, the DLLs and base/),
# LINUX_BUILD the Linux one (its kit writes the default settings), OUT the folder that gets
#   brindles-cataclysm-VERSION-windows-x64.zip  one folder "Brindles Cataclysm\" to unzip anywhere
#   brindles-cataclysm-VERSION-setup-x64.exe    the installer, made with NSIS
# and stage/, the portable folder both are made from.
set -euo pipefail
cd "$(dirname "$0")/../.."
game_build=$1
linux_build=$2
out=$3
sources=$out/sources

version=$(sed -n 's/^project(BrindlesCataclysm VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stage_root=$out/stage
stage="$stage_root/Brindles Cataclysm"
rm -rf "$stage_root"
mkdir -p "$stage/licences"

# The programs, without their debugging information, and the libraries they load.
for program in brindles-cataclysm cataclysm-kit; do
    x86_64-w64-mingw32-strip -o "$stage/$program.exe" "$game_build/bin/$program.exe"
done
cp "$game_build/bin/SDL2.dll" "$game_build/bin/soft_oal.dll" "$stage/"

# The assets but the icons, which are inside the programs, and a settings file of a fresh
# install rather than whatever the build's copy holds.
cp -r "$game_build/bin/base" "$stage/base"
rm -rf "$stage/base/icons" "$stage/base/config"
mkdir "$stage/base/config"
"$linux_build/bin/cataclysm-kit" rep reset "$stage/base/config/bc.rep" > /dev/null

# Text files with Windows line ends, which every editor shows as lines.
crlf() { sed 's/\r*$/\r/'; }
sed "s/@VERSION@/$version/" tools/windows/README.txt | crlf > "$stage/README.txt"

# The licences of everything shipped, inside the programs or beside them.
licence() {
    local name=$1
    shift
    cat "$@" | crlf > "$stage/licences/$name.txt"
}
licence SDL2 "$sources"/SDL2-*/LICENSE.txt
{
    cat "$sources"/OpenAL-*/COPYING
    printf '\n\n'
    cat <<NOTE
soft_oal.dll is OpenAL Soft $(basename "$sources"/OpenAL-* | sed 's/^OpenAL-//; s/-[^-]*$//'), built
unchanged from the source archive Debian distributes,
https://deb.debian.org/debian/pool/main/o/openal-soft/$(basename "$sources"/openal-soft_*.orig.tar.*),
with the MinGW-w64 compilers, as a DLL of its own, so you may replace it with another build of
OpenAL Soft. The same source is available from https://openal-soft.org/ and, on request, from
the Brindle's Cataclysm developers.
NOTE
    printf '\n\nOpenAL Soft includes pffft:\n\n'
    cat "$sources"/OpenAL-*/LICENSE-pffft
} | crlf > "$stage/licences/OpenAL-Soft.txt"
licence libogg "$sources"/Ogg-*/COPYING
licence libvorbis "$sources"/Vorbis-*/COPYING
licence zlib "$sources"/Zlib-*/LICENSE
licence libpng "$sources"/Png-*/LICENSE
{
    cat <<NOTE
The game and the kit carry these parts of the compiler's runtime inside them: libgcc and
libstdc++ (GCC, under the GCC Runtime Library Exception), the MinGW-w64 runtime and winpthreads.
Their licences follow, as Debian records them.

NOTE
    cat /usr/share/doc/gcc-mingw-w64-base/copyright
    printf '\n\n'
    cat /usr/share/doc/mingw-w64-x86-64-dev/copyright
} | crlf > "$stage/licences/MinGW-w64-runtime.txt"

zip_file=$out/brindles-cataclysm-$version-windows-x64.zip
rm -f "$zip_file"
(cd "$stage_root" && zip -q -r -X "$OLDPWD/$zip_file" "Brindles Cataclysm")

# The installer's file lists: every folder of the stage with its files, in order, and the
# removals in reverse, deepest first.
lists=$out/installer
mkdir -p "$lists"
: > "$lists/files.nsh"
: > "$lists/removals.nsh"
windows_path() { printf '%s' "$1" | sed 's|^\./||; s|^\.$||; s|/|\\|g'; }
while IFS= read -r folder; do
    inside=$(windows_path "$folder")
    echo "SetOutPath \"\$INSTDIR${inside:+\\$inside}\"" >> "$lists/files.nsh"
    while IFS= read -r file; do
        echo "File \"$PWD/$stage/${file#./}\"" >> "$lists/files.nsh"
        echo "Delete \"\$INSTDIR\\$(windows_path "$file")\"" >> "$lists/removals.nsh"
    done < <(cd "$stage" && find "$folder" -mindepth 1 -maxdepth 1 -type f | sort)
done < <(cd "$stage" && find . -type d | sort)
while IFS= read -r folder; do
    echo "RMDir \"\$INSTDIR\\$(windows_path "$folder")\"" >> "$lists/removals.nsh"
done < <(cd "$stage" && find . -mindepth 1 -type d | sort -r)
size_kb=$(du -sk "$stage" | cut -f1)

setup=$out/brindles-cataclysm-$version-setup-x64.exe
makensis -V2 -DVERSION="$version" -DFILES="$PWD/$lists/files.nsh" \
    -DREMOVALS="$PWD/$lists/removals.nsh" -DSIZE_KB="$size_kb" -DOUTFILE="$PWD/$setup" \
    -DICON="$PWD/$game_build/bin/base/icons/brindles-cataclysm.ico" tools/windows/Installer.nsi
echo "pack.sh: $zip_file ($(du -k "$zip_file" | cut -f1) KiB), $setup ($(du -k "$setup" | cut -f1) KiB)"
