#!/usr/bin/env bash
# Copies the Material Design Icons that src/kit/icons/symbols.tsv names out of the npm
# package @mdi/svg into src/kit/icons/, with the package's licence, and writes the
# resource list. Run it after changing the table; building never needs npm.
#   scripts/update-icons.sh [version]     (default: the version pinned below)
set -euo pipefail

version="${1:-7.4.47}"
root="$(cd "$(dirname "$0")/.." && pwd)"
icons="$root/src/kit/icons"
table="$icons/symbols.tsv"

command -v npm >/dev/null || { echo "update-icons: npm is needed to fetch @mdi/svg" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

(cd "$work" && npm pack --silent "@mdi/svg@$version" >/dev/null)
tar -xzf "$work"/mdi-svg-*.tgz -C "$work"
pkg="$work/package"

names="$(grep -v '^#' "$table" | awk -F'\t' 'NF >= 2 { print $2 }' | sort -u)"
rm -f "$icons"/*.svg
for name in $names; do
    src="$pkg/svg/$name.svg"
    [ -f "$src" ] || { echo "update-icons: @mdi/svg $version has no icon \"$name\"" >&2; exit 1; }
    cp "$src" "$icons/$name.svg"
done
cp "$pkg/LICENSE" "$icons/LICENSE"
echo "@mdi/svg $version" > "$icons/VERSION"

{
    echo '<RCC>'
    echo '  <qresource prefix="/kit/icons">'
    echo '    <file>symbols.tsv</file>'
    for name in $names; do
        echo "    <file>$name.svg</file>"
    done
    echo '  </qresource>'
    echo '</RCC>'
} > "$icons/icons.qrc"

echo "update-icons: $(echo "$names" | wc -l) icons from @mdi/svg $version"
