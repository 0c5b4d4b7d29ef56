# Sourced: a private Wine prefix and HOME inside the build folder, never the user's own, for the
# build that this machine runs (scripts/arch.sh): each architecture has its own build folder and
# so its own prefix.
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
export WINEPREFIX=$INKWISP_BUILD/wine/prefix
export HOME=$INKWISP_BUILD/wine/home
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d"
unset WINELOADERNOEXEC
