#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from the build folder given and checks it: the
# files a desktop needs, the dependencies, the menu entry and the AppStream
# metadata as their validators see them, and lintian's errors.
set -euo pipefail
build=$1
app=org.kardelo.Kardelo
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

cd "$build"
rm -f kardelo_*.deb
cpack -G DEB > "$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls kardelo_*.deb)

listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/kardelo \
            ./usr/share/applications/$app.desktop \
            ./usr/share/metainfo/$app.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/$app.svg \
            ./usr/share/icons/hicolor/32x32/apps/$app.png ./usr/share/icons/hicolor/64x64/apps/$app.png \
            ./usr/share/icons/hicolor/128x128/apps/$app.png ./usr/share/icons/hicolor/256x256/apps/$app.png \
            ./usr/share/doc/kardelo/copyright ./usr/share/doc/kardelo/changelog.Debian.gz \
            ./usr/share/man/man1/kardelo.1.gz \
            ./usr/bin/kardelo-library ./usr/share/man/man1/kardelo-library.1.gz \
            ./usr/share/man/zh_CN/man1/kardelo-library.1.gz; do
  grep -qxF "$path" <<<"$listing" || fail "$path is not in $deb"
done

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6core6 libqt6multimedia6 libcurl4 gstreamer1.0-plugins-ugly gstreamer1.0-libav \
              fonts-noto-cjk qt6-translations-l10n qt6-qpa-plugins ca-certificates; do
  grep -q "\b$needed\b" <<<"$depends" || fail "Depends lacks $needed: $depends"
done

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/$app.desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$app.metainfo.xml" > "$work/appstream.log" 2>&1 \
  || { cat "$work/appstream.log" >&2; fail "the metainfo is not valid"; }
grep -q "<svg" "$work/root/usr/share/icons/hicolor/scalable/apps/$app.svg" || fail "the SVG icon is no SVG"
for manual in man1/kardelo.1.gz man1/kardelo-library.1.gz zh_CN/man1/kardelo-library.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$work/root/usr/share/man/$manual" 2>&1 >/dev/null) \
    || fail "man cannot render $manual"
  [ -z "$warnings" ] || fail "man warns of $manual: $warnings"
done
"$work/root/usr/bin/kardelo-library" --version > /dev/null || fail "kardelo-library does not run"

if command -v lintian > /dev/null; then
  lintian --fail-on error "$deb" > "$work/lintian.log" 2>&1 || { cat "$work/lintian.log" >&2; fail "lintian reports errors"; }
fi
echo "check-package: $deb is complete"
