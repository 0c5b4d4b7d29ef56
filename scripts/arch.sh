# Sourced: which Windows build this machine runs, decided once and exported as INKWISP_ARCH (x86
# or x64) with INKWISP_ARCH_WHY. Some kernels refuse every 32-bit x86 program ("Exec format
# error"), the 32-bit Wine loader included: the probe runs that loader, so it answers for this
# machine as it is, whatever its kernel's version says, and INKWISP_RUNS_32_BIT keeps its answer
# (1 or 0). Where 32-bit code runs, the x86 build does; elsewhere the x64 build runs under 64-bit
# Wine. INKWISP_ARCH=x86 or x64 chooses. INKWISP_PRESET names that build's CMake preset, and
# INKWISP_BUILD its folder unless it is set already (coverage builds elsewhere).
if [[ -z "${INKWISP_RUNS_32_BIT:-}" ]]; then
    if /usr/lib/wine/wine --version </dev/null >/dev/null 2>&1; then
        export INKWISP_RUNS_32_BIT=1
    else
        export INKWISP_RUNS_32_BIT=0
    fi
fi
if [[ -z "${INKWISP_ARCH:-}" ]]; then
    if [[ $INKWISP_RUNS_32_BIT == 1 ]]; then
        export INKWISP_ARCH=x86 INKWISP_ARCH_WHY="this machine runs 32-bit code"
    else
        export INKWISP_ARCH=x64 INKWISP_ARCH_WHY="this machine runs no 32-bit code"
    fi
elif [[ -z "${INKWISP_ARCH_WHY:-}" ]]; then
    export INKWISP_ARCH_WHY="INKWISP_ARCH=$INKWISP_ARCH"
fi
case "$INKWISP_ARCH" in
x86) export INKWISP_PRESET=windows INKWISP_ARCH_TITLE="x86 build under Wine" ;;
x64) export INKWISP_PRESET=windows-x64 INKWISP_ARCH_TITLE="x64 build under 64-bit Wine" ;;
*)
    echo "INKWISP_ARCH is x86 or x64, not '$INKWISP_ARCH'" >&2
    return 1 2>/dev/null || exit 1
    ;;
esac
export INKWISP_BUILD=${INKWISP_BUILD:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/$INKWISP_PRESET}
