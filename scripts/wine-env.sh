# Sourced: a private Wine prefix and HOME inside the build folder, never the user's own, for the
# build that this machine runs (scripts/arch.sh): each architecture has its own build folder and
# so its own prefix. INKWISP_WINE_DPI picks the screen's DPI: unset or 96, the prefix every test
# runs in unless it asks for another; any other DPI (192: 200 %), a prefix and a HOME of its own
# whose LogPixels is that DPI (scripts/wine-prefix.sh sets it), with a wineserver of its own.
INKWISP_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$INKWISP_ROOT/scripts/arch.sh"
if [[ $INKWISP_ARCH == x64 ]]; then
    export WINEARCH=win64
    export WINELOADER=/usr/lib/wine/wine64
    # Its "wine" and "wine-stable" run that loader: Debian's would pick the 32-bit one.
    case ":$PATH:" in
    *":$INKWISP_ROOT/scripts/wine64:"*) ;;
    *) export PATH="$INKWISP_ROOT/scripts/wine64:$PATH" ;;
    esac
else
    export WINEARCH=win32
    unset WINELOADER
fi
if [[ ! ${INKWISP_WINE_DPI:-96} =~ ^[1-9][0-9]*$ ]]; then
    echo "INKWISP_WINE_DPI is a DPI such as 96 or 192, not '$INKWISP_WINE_DPI'" >&2
    return 1 2>/dev/null || exit 1
fi
# INKWISP_WINE_SET names a set of prefixes of its own: the e2e tests run in theirs ("e2e"), beside
# the wine tests, whose servers theirs never end.
export INKWISP_WINE_DIR=$INKWISP_BUILD/wine${INKWISP_WINE_SET:+/$INKWISP_WINE_SET}
if [[ ${INKWISP_WINE_DPI:-96} == 96 ]]; then
    export WINEPREFIX=$INKWISP_WINE_DIR/prefix
    export HOME=$INKWISP_WINE_DIR/home
else
    export WINEPREFIX=$INKWISP_WINE_DIR/prefix-$INKWISP_WINE_DPI
    export HOME=$INKWISP_WINE_DIR/home-$INKWISP_WINE_DPI
fi
# The DPIs of the prefixes that the wine and e2e tests run in.
export INKWISP_WINE_TEST_DPIS="96 192"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d"
unset WINELOADERNOEXEC
