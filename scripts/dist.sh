#!/usr/bin/env bash
# make dist: builds the program for x86 and x64 and writes, for x86,
# dist/Inkwisp-<version>-win32.zip and dist/Inkwisp-<version>-setup.exe, for x64,
# dist/Inkwisp-<version>-x64.zip and dist/Inkwisp-<version>-x64-setup.exe, then dist/SHA256SUMS
# of all four, a winget manifest set in dist/winget and a Scoop manifest in dist/scoop. Two runs of
# one commit give the same exes and zips: an exe has no link time, and a zip's entries have fixed
# times and a fixed order.
#
# INKWISP_DIST: the folder to write to instead of dist/.
# INKWISP_DOWNLOAD_URL: where the downloads will be published (the manifests name it).
# INKWISP_SIGN_PFX, INKWISP_SIGN_PASSWORD (and INKWISP_SIGN_TIMESTAMP_URL): a PKCS#12 certificate
# that signs the exe before it is packed, the uninstaller and the installer. Without it nothing is
# signed and the build stays reproducible.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

version=$(sed -n 's/^project(Inkwisp VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n "$version" ]] || { echo "dist: no version in CMakeLists.txt" >&2; exit 1; }
copyright=$(sed -n 's/^set(INKWISP_COPYRIGHT "\([^"]*\)")$/\1/p' CMakeLists.txt)
[[ -n "$copyright" ]] || { echo "dist: no copyright notice in CMakeLists.txt" >&2; exit 1; }
# Every file's time is the commit's, so the archive does not depend on when it was made.
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}
out=${INKWISP_DIST:-$root/dist}
rm -rf "$out"
mkdir -p "$out"

# package <CMake preset> <zip> <installer> [makensis options]: one architecture's two downloads.
package() {
    local preset=$1 zip=$out/$2 setup=$out/$3
    shift 3
    local build=$root/build/$preset
    local stage=$build/dist/Inkwisp
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "${JOBS:-2}" --target inkwisp
    rm -rf "$build/dist"
    mkdir -p "$stage"
    cp "$build/Inkwisp/inkwisp.exe" res/inkwisp.htm "$stage/"
    local sign=()
    if [[ -n "${INKWISP_SIGN_PFX:-}" ]]; then
        bash installer/sign.sh "$stage/inkwisp.exe"
        sign=(-DSIGN="bash \"$root/installer/sign.sh\"")
    fi
    # Text files for Notepad: CRLF, and a byte-order mark on the Japanese one.
    sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
    { printf '\xef\xbb\xbf'; sed -e "s/@VERSION@/$version/g" -e "s/@COPYRIGHT@/$copyright/g" \
        -e 's/$/\r/' installer/README.txt; } >"$stage/README.txt"
    touch -d "@$epoch" "$stage"/*

    # The zip's top folder is "Inkwisp", so the unpacked program keeps the installed one's
    # settings.
    /usr/bin/python3 - "$stage" "$zip" "$epoch" <<'PY'
import os, sys, time, zipfile
stage, target, epoch = sys.argv[1], sys.argv[2], int(sys.argv[3])
stamp = time.gmtime(max(epoch, 315532800))[:6]
with zipfile.ZipFile(target, "w") as archive:
    for name in ["inkwisp.exe", "inkwisp.htm", "LICENSE.txt", "README.txt"]:
        entry = zipfile.ZipInfo("Inkwisp/" + name, stamp)
        entry.compress_type = zipfile.ZIP_DEFLATED
        entry.external_attr = 0o644 << 16
        with open(os.path.join(stage, name), "rb") as source:
            archive.writestr(entry, source.read(), compresslevel=9)
PY

    makensis -V2 -DVERSION="$version" -DCOPYRIGHT="$copyright" -DSTAGE="$stage" \
        -DICON="$build/res/inkwisp.ico" -DOUTFILE="$setup" "${sign[@]}" "$@" installer/inkwisp.nsi
}

package windows "Inkwisp-$version-win32.zip" "Inkwisp-$version-setup.exe"
package windows-x64 "Inkwisp-$version-x64.zip" "Inkwisp-$version-x64-setup.exe" -DX64
(cd "$out" && sha256sum "Inkwisp-$version-win32.zip" "Inkwisp-$version-setup.exe" \
    "Inkwisp-$version-x64.zip" "Inkwisp-$version-x64-setup.exe" >SHA256SUMS)
/usr/bin/python3 installer/manifests.py "$version" \
    "${INKWISP_DOWNLOAD_URL:-https://example.com/inkwisp/download/$version}" "$out"
cat "$out/SHA256SUMS"
