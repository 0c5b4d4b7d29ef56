#!/usr/bin/env bash
# Installs what building, running and testing Inkwisp need (Debian, as root); quiet when all is there.
# Both Wine loaders where the kernel starts 32-bit programs; elsewhere only the 64-bit one, which
# runs the x64 build (scripts/arch.sh), and none of the 32-bit packages that could never run.
set -euo pipefail

packages=(
    cmake make g++ googletest clang libclang-rt-14-dev clang-format clang-tidy lld gcovr
    g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine
    xvfb xdotool x11-utils openbox imagemagick poppler-utils fonts-ipafont-gothic
    cups cups-client cups-bsd printer-driver-cups-pdf
    nsis osslsigncode openssl wine64 python3-yaml python3-pefile
    python3
)
packages_32_bit=(wine32:i386 libcups2:i386)

# Whether this kernel starts a 32-bit x86 program: one of 93 bytes that only exits, run once. Some
# virtual machines' kernels have no 32-bit mode and refuse it ("Exec format error").
runs_32_bit() {
    local probe status
    probe=$(mktemp)
    printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00' >"$probe"
    printf '\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' >>"$probe"
    printf '\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00' >>"$probe"
    printf '\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00' >>"$probe"
    printf '\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >>"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null
    status=$?
    rm -f "$probe"
    return $status
}

if runs_32_bit; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    packages+=("${packages_32_bit[@]}")
fi
missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
    echo "deps: missing packages (${missing[*]}); run 'make deps' as root" >&2
    exit 1
fi
echo "deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# A mirror caught mid-sync fails an index now and then: try again, then go on with the indexes
# that did arrive.
for attempt in 1 2 3; do
    apt-get update -qq && break
    echo "deps: some package indexes did not update (attempt $attempt)" >&2
    [[ $attempt -lt 3 ]] && sleep 10
done
if ! apt-get install -y -qq "${missing[@]}" >/dev/null; then
    # Without the 32-bit index the 32-bit Wine cannot be installed; the tests then run the x64
    # build under 64-bit Wine (scripts/arch.sh), as on a machine that runs no 32-bit code.
    native=()
    for p in "${missing[@]}"; do
        [[ $p == *:i386 ]] || native+=("$p")
    done
    echo "deps: the 32-bit packages could not be installed; installing the rest" >&2
    apt-get install -y -qq "${native[@]}" >/dev/null
fi
