# Sourced by the scripts that run Windows programs: a Wine prefix of the build's
# own (never the user's), quiet, without the Mono and Gecko install prompts.
# Expects SCV_BUILD_DIR.
export WINEPREFIX="${SCV_BUILD_DIR:?}/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINELOADER=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
SCV_WINE=/usr/lib/wine/wine64
SCV_WINESERVER=/usr/lib/wine/wineserver64
