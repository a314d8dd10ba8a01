#!/bin/bash
# cmake --install into a scratch prefix: executable, data, a valid desktop entry, a
# valid metainfo file carrying the build's version, and the icon.
# Usage: install-test.sh BUILD_DIR VERSION
set -u
BUILD=$1
VERSION=$2
PREFIX=$(mktemp -d)
trap 'rm -rf "$PREFIX"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$BUILD" --prefix "$PREFIX" > /dev/null || fail "cmake --install"
ID=example.quenmoor.Orvane
[ -x "$PREFIX/bin/orvane" ] || fail "no executable"
[ -f "$PREFIX/share/orvane/data/reference-crops.csv" ] || fail "no data folder"
DESKTOP="$PREFIX/share/applications/$ID.desktop"
META="$PREFIX/share/metainfo/$ID.metainfo.xml"
ICON="$PREFIX/share/icons/hicolor/scalable/apps/$ID.svg"
[ -f "$DESKTOP" ] && [ -f "$META" ] && [ -f "$ICON" ] || fail "desktop files missing"
OUT=$(desktop-file-validate "$DESKTOP" 2>&1); [ $? -eq 0 ] && [ -z "$OUT" ] || fail "desktop-file-validate: $OUT"
appstreamcli validate --no-net "$META" || fail "appstreamcli validate"
grep -q "release version=\"$VERSION\"" "$META" || fail "metainfo does not carry version $VERSION"
grep -q "^Icon=$ID$" "$DESKTOP" || fail "the entry names another icon"
echo "install test passed"
