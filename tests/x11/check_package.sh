#!/usr/bin/env bash
# The module's settings file is one XScreenSaver reads, and its Debian
# package installs where XScreenSaver looks and has no lintian error.
#   check_package.sh HOST_BUILD_DIR velomass.xml
set -uo pipefail
build=$1 xml=$2
xmllint --noout "$xml" || { echo "check_package: xmllint refuses $xml"; exit 1; }
out=$(mktemp -d); trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/*.deb)
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for want in ./usr/libexec/xscreensaver/velomass ./usr/share/xscreensaver/config/velomass.xml \
            ./usr/share/man/man6/velomass.6x.gz ./usr/share/doc/velomass/copyright; do
  grep -qx "$want" <<<"$contents" || { echo "check_package: $(basename "$deb") lacks $want"; exit 1; }
done
# The manual in the section XScreenSaver's modules use, and it reads cleanly.
man_page=$out/velomass.6x.gz
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/man/man6/velomass.6x.gz >"$man_page"
warnings=$(MANWIDTH=80 man --warnings -l "$man_page" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "check_package: the manual page: $warnings"; exit 1; }
zcat "$man_page" | grep -q '^\.TH velomass 6x ' || { echo "check_package: the manual is not in section 6x"; exit 1; }
lintian --tag-display-limit 0 "$deb" >"$out/lintian.log" 2>&1
cat "$out/lintian.log"
grep -q '^E:' "$out/lintian.log" && { echo "check_package: lintian has errors on $(basename "$deb")"; exit 1; }
echo "check_package: $(basename "$deb") installs where XScreenSaver looks; lintian: $(grep -c '^W:' "$out/lintian.log") warnings, no error"
