#!/usr/bin/env bash
# `make bench`: every benchmark, each printing "bench: NAME VALUE UNIT".
# Timing belongs here, never in tests.
set -euo pipefail
build=$(realpath "${1:?usage: bench.sh BUILD_FOLDER}")
here=$(cd "$(dirname "$0")" && pwd)
top=$(dirname "$here")
cache=${TARNWELL_CACHE:-$HOME/.cache/tarnwell}
export TARNWELL_WINEPREFIX=${TARNWELL_WINEPREFIX:-$build/wineprefix}

# Real text: Debian's Chinese manual pages, about 6 MB per script.
corpus=$cache/corpus
mkdir -p "$corpus"
for loc in zh_CN zh_TW; do
  if [ ! -s "$corpus/$loc.txt" ]; then
    zcat /usr/share/man/$loc/man*/*.gz > "$corpus/$loc.txt.tmp"
    mv "$corpus/$loc.txt.tmp" "$corpus/$loc.txt"
  fi
done
mb() { awk -v b="$(stat -c %s "$1")" 'BEGIN { printf "%.2f", b / 1e6 }'; }
echo "bench: corpus_zh_CN $(mb "$corpus/zh_CN.txt") MB"
echo "bench: corpus_zh_TW $(mb "$corpus/zh_TW.txt") MB"

# OpenCC 1.4.1 built natively, driven line by line like glyphmap.
native=$(JOBS=${JOBS:-2} "$top/third_party/build.sh" native)
nb=$build/bench-native
mkdir -p "$nb"
if [ ! -x "$nb/opencc_native_bench" ] || [ "$here/bench/opencc_native_bench.cpp" -nt "$nb/opencc_native_bench" ]; then
  g++ -O2 -std=c++20 -DOpencc_BUILT_AS_STATIC -I"$top" -I"$native/include/opencc" -I"$native/include" \
    "$here/bench/opencc_native_bench.cpp" "$top/engine/ConvConfigs.cpp" "$native/lib/libopencc.a" \
    -o "$nb/opencc_native_bench"
fi

results=$(mktemp)
trap 'rm -f "$results"' EXIT
run() { "$@" 2>/dev/null | tee -a "$results"; }

for dir in s2t t2s; do
  src=$corpus/zh_CN.txt; [ $dir = t2s ] && src=$corpus/zh_TW.txt
  run "$nb/opencc_native_bench" $dir "$native/share/opencc" "$src" 3
  run "$here/with-display.sh" "$here/wine-run.sh" "$build/bin/glyphmap_bench.exe" $dir "Z:${src//\//\\}" 3
  # Debian's opencc command (1.1.6), what a Linux user has at hand.
  if command -v opencc >/dev/null; then
    start=$(date +%s.%N)
    opencc -c $dir.json -i "$src" -o /dev/null
    end=$(date +%s.%N)
    awk -v b="$(stat -c %s "$src")" -v s="$start" -v e="$end" -v d=$dir \
      'BEGIN { printf "bench: debian_opencc_%s %.2f MB/s\n", d, b / (e - s) / 1e6 }' | tee -a "$results"
  fi
done

awk '
  /^bench: opencc_native_(s2t|t2s) / { n[substr($2, 15)] = $3 }
  /^bench: glyphmap_(s2t|t2s) / { g[substr($2, 10)] = $3 }
  /^bench: debian_opencc_(s2t|t2s) / { d[substr($2, 15)] = $3 }
  END {
    for (k in g) {
      if (n[k] > 0) printf "bench: glyphmap_vs_native_%s %.2f x\n", k, g[k] / n[k]
      if (d[k] > 0) printf "bench: glyphmap_vs_debian_opencc_%s %.2f x\n", k, g[k] / d[k]
    }
  }' "$results"
