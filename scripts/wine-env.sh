# Sourced: a private Wine prefix and HOME inside the build folder, never the user's own.
INKWISP_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export INKWISP_BUILD=${INKWISP_BUILD:-$INKWISP_ROOT/build/windows}
export WINEPREFIX=$INKWISP_BUILD/wine/prefix
export WINEARCH=win32
export HOME=$INKWISP_BUILD/wine/home
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d"
unset WINELOADERNOEXEC
