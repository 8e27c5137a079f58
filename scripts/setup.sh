#!/usr/bin/env bash
# Installs every Debian package the build, the tools and the tests need.
# Idempotent: installs only what is missing.
set -euo pipefail
# Whatever fails, say which command it was; its own error output stands above.
trap 'echo "setup: failed (exit $?): $BASH_COMMAND" >&2' ERR

packages=(
  cmake ninja-build g++ make binutils zip unzip
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
  wine wine64 wine32:i386
  xvfb xauth xdotool imagemagick x11-apps x11-utils
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  fonts-ipafont-gothic fonts-dejavu-core locales
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  python3 python3-pil python3-pefile
  libx11-dev libxext-dev x11-xserver-utils xscreensaver xscreensaver-data
  libxml2-utils lintian dpkg-dev
  nsis
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
  echo "setup: installing ${missing[*]:-(package lists)}"
  as_root apt-get update -q
  if [ ${#missing[@]} -gt 0 ]; then
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
fi

# Wine takes the user's language from LANG only when the C library knows the
# locale; the tests run the saver in Japanese, English and German.
for loc in ja_JP en_US de_DE; do
  if ! locale -a 2>/dev/null | grep -qix "$loc.utf-\?8"; then
    echo "setup: making the locale $loc.UTF-8"
    as_root localedef -i "$loc" -f UTF-8 "$loc.UTF-8"
  fi
done
