#!/usr/bin/env bash
# Creates and configures a Wine prefix once: Japanese fonts mapped so that
# the dialogs and message boxes show their texts. Windows are left unmanaged:
# with no window manager on a virtual display, Wine would otherwise wait two
# seconds for one each time a window is hidden.
set -euo pipefail
prefix=${1:?usage: wineprefix.sh PREFIX}
[ -f "$prefix/.veloma-ready-2" ] && exit 0

mkdir -p "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /t REG_SZ /d IPAGothic /f >/dev/null 2>&1
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v Tahoma /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic' /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w
touch "$prefix/.veloma-ready-2"
