#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed programs from
# a folder that holds nothing of ours: they must find their pictures in the prefix,
# and still find them after the whole prefix has been moved.
#   installed_copy_test.sh BUILD_DIR VERSION EXAMPLES_DIR ASSETS_DIR
set -euo pipefail
build=$1 version=$2 examples=$3 assets=$4

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
mkdir -p "$scratch/elsewhere"
cd "$scratch/elsewhere"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" ||
    { cat "$scratch/install.log"; exit 1; }

for path in bin/tapwright bin/tapwright-cli share/man/man1/tapwright.1.gz \
    share/man/man1/tapwright-cli.1.gz share/bash-completion/completions/tapwright-cli \
    share/icons/hicolor/48x48/apps/tapwright.png share/doc/tapwright/copyright \
    share/doc/tapwright/examples/lowpass_default.txt; do
    [ -e "$prefix/$path" ] || fail "$path not installed"
done
[ "$(ls "$prefix"/share/applications/*.desktop 2>/dev/null | wc -l)" -eq 1 ] ||
    fail "not exactly one desktop entry"
[ "$(ls "$prefix"/share/metainfo/*.metainfo.xml 2>/dev/null | wc -l)" -eq 1 ] ||
    fail "not exactly one metainfo file"
# Every picture of ours, unchanged, in the data directory, and nothing beside the
# installed programs but the programs.
for picture in "$assets"/*; do
    cmp -s "$picture" "$prefix/share/tapwright/$(basename "$picture")" ||
        fail "picture $(basename "$picture") not installed in share/tapwright"
done
[ "$(ls "$prefix/bin" | tr '\n' ' ')" = "tapwright tapwright-cli " ] ||
    fail "bin holds more than the two programs: $(ls "$prefix/bin" | tr '\n' ' ')"
# Each icon is as large as its folder says.
for icon in "$prefix"/share/icons/hicolor/*/apps/tapwright.png; do
    size=$(basename "$(dirname "$(dirname "$icon")")")
    read -r width height < <(od -An -tu1 -j16 -N8 "$icon" |
        awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
    [ "${width}x${height}" = "$size" ] || fail "icon in $size is ${width}x${height}"
done

# The installed programs run from here.
cp "$examples/lowpass_default.txt" spec.txt
"$prefix/bin/tapwright-cli" design spec.txt -o designed.txt ||
    fail "installed tapwright-cli design exits $?"
# One coefficient line after "Coeff:" for each of the spec's taps.
taps=$(awk '$1 == "Taps:" { print $2 }' spec.txt)
coefficients=$(awk 'listed && NF { n++ } $1 == "Coeff:" { listed = 1 } END { print n + 0 }' designed.txt)
[ -n "$taps" ] && [ "$coefficients" -eq "$taps" ] ||
    fail "the designed spec file lists $coefficients coefficients for $taps taps"
"$prefix/bin/tapwright-cli" measure "$prefix/share/doc/tapwright/examples/lowpass_default.txt" \
    >/dev/null || fail "installed tapwright-cli measure on an installed example exits $?"
out=$("$prefix/bin/tapwright" --version) || fail "installed tapwright --version exits $?"
[ "$out" = "tapwright $version" ] || fail "tapwright --version says \"$out\""

# A picture of ours, named bare, from a folder without it: found in the prefix, and
# found again after the prefix moved; missing from the moved prefix, it is not found.
picture_runs() {
    rm -rf frames
    "$1/bin/tapwright-cli" picture penguin.GIF -o frames -n 1 >/dev/null 2>&1 &&
        [ -s frames/frame_000.png ]
}
picture_runs "$prefix" || fail "the installed copy does not find its pictures"
mv "$prefix" "$scratch/moved"
picture_runs "$scratch/moved" || fail "a moved installed copy does not find its pictures"
rm "$scratch/moved/share/tapwright/penguin.GIF"
! picture_runs "$scratch/moved" || fail "a picture removed from the prefix is still found"

[ "$failures" -eq 0 ] && echo "installed copy runs from $scratch/elsewhere"
exit "$failures"
