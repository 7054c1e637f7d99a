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
data=$(JOBS=${JOBS:-2} "$top/third_party/opencc-data.sh")
nb=$build/bench-native
mkdir -p "$nb"
if [ ! -x "$nb/opencc_native_bench" ] || [ "$here/bench/opencc_native_bench.cpp" -nt "$nb/opencc_native_bench" ]; then
  g++ -O2 -std=c++20 -DOpencc_BUILT_AS_STATIC -I"$top" -I"$native/include/opencc" -I"$native/include" \
    "$here/bench/opencc_native_bench.cpp" "$native/lib/libopencc.a" \
    -o "$nb/opencc_native_bench"
fi

results=$(mktemp)
trap 'rm -f "$results"' EXIT
run() { "$@" 2>/dev/null | tee -a "$results"; }

win() { echo "Z:${1//\//\\}"; }

# What a user meets, measured beside what the engine alone does on the same
# text in the same run: the file job and glyphmap on the manual pages; the
# program's file page against OpenCC 1.4.1 converting the same file as a
# command line does (whole processes); the text page; start-up.
user_figures() {
  local src=$corpus/zh_CN.txt
  run "$here/with-display.sh" "$here/wine-run.sh" "$build/bin/glyphmap_bench.exe" s2t "$(win "$src")" 5
  run "$here/with-display.sh" "$here/wine-run.sh" "$build/bin/filejob_bench.exe" s2t --rounds 5 manpages "$(win "$src")" 3
  local x4=$corpus/manpages-x4.txt
  if [ ! -s "$x4" ]; then cat "$src" "$src" "$src" "$src" > "$x4.tmp" && mv "$x4.tmp" "$x4"; fi
  local out times
  out=$(mktemp)
  times=$(mktemp)
  # Median of three whole processes, by the clock and by processor time.
  for _ in 1 2 3; do
    /usr/bin/time -a -o "$times" -f "%e %U %S" "$nb/opencc_native_bench" file s2t "$data" "$x4" "$out"
  done
  rm -f "$out"
  sort -n -k1 "$times" | sed -n 2p | awk -v b="$(stat -c %s "$x4")" \
    '{ printf "bench: opencc_native_file_s2t %.2f MB/s (%.1f MB, whole process)\n", b / $1 / 1e6, b / 1e6 }' |
    tee -a "$results"
  awk '{ print $2 + $3 }' "$times" | sort -n | sed -n 2p | awk -v b="$(stat -c %s "$x4")" \
    '{ printf "bench: opencc_native_cpu_file_s2t %.2f MB/s\n", b / $1 / 1e6 }' | tee -a "$results"
  rm -f "$times"
  if [ -f "$build/bin/tarnwell.exe" ]; then
    run "$here/with-display.sh" "$here/wine-run.sh" "$build/bin/program_bench.exe" \
      file "$(win "$build/bin/tarnwell.exe")" "$(win "$x4")" 3
    run "$here/with-display.sh" "$here/wine-run.sh" "$build/bin/program_bench.exe" \
      "$(win "$build/bin/tarnwell.exe")" "$(win "$src")" 5
  fi
}

# The figures a user meets, each against its target; FALLS SHORT where one
# misses. Ratios are of figures taken side by side in this run.
summary_table() {
  awk '
    function field(name) { return (name in v) ? v[name] : "" }
    /^bench: / { v[$2] = $3 }
    function row(what, value, unit, target, ok) {
      if (value == "") { printf "  %-52s %12s   %-22s %s\n", what, "-", target, "NOT MEASURED"; return }
      printf "  %-52s %10.2f %-3s %-22s %s\n", what, value, unit, target, ok ? "ok" : "FALLS SHORT"
    }
    END {
      print "bench: summary"
      g = field("glyphmap_s2t"); j = field("filejob_s2t_manpages")
      row("glyphmap / file job, manual pages (clock)", (g != "" && j > 0) ? g / j : "", "x", "<= 1.5", g / j <= 1.5)
      gc = field("glyphmap_cpu_s2t"); jc = field("filejob_cpu_s2t_manpages")
      row("glyphmap / file job, manual pages (processor)", (gc != "" && jc > 0) ? gc / jc : "", "x", "<= 1.5", gc / jc <= 1.5)
      p = field("program_file_page_s2t"); n = field("opencc_native_file_s2t")
      row("file page / OpenCC 1.4.1 on a file, 26 MB", (p != "" && n > 0) ? p / n : "", "x", ">= 3", p / n >= 3)
      t = field("program_convert_two_chars")
      row("text page, two characters, Convert to result", t, "ms", "<= 100", t <= 100)
      m = field("program_convert_1MB_paste")
      row("text page, 1 MB pasted, Convert to result", m, "ms", "<= 500", m <= 500)
      s = field("program_start_to_main_window")
      row("start to the visible main window", s, "ms", "<= 300", s <= 300)
      mo = field("filejob_s2t_many_vs_one_time")
      row("1,000 subtitles / one file of their bytes (time)", mo, "x", "<= 1.2", mo <= 1.2)
      sr = field("filejob_s2t_many_files_mbps")
      row("glyphmap / file job on the 1,000 subtitles", (g != "" && sr > 0) ? g / sr : "", "x", "<= 1.5", g / sr <= 1.5)
      c = field("cli_vs_filejob_s2t_utf8")
      row("command line / file job, 100 MB UTF-8", c, "x", ">= 0.9", c >= 0.9)
    }' "$results"
}

if [ "${BENCH_ONLY:-}" = user ]; then
  user_figures
  summary_table
  exit 0
fi

# Every configuration: Simplified text for the s2* ones, Traditional for the rest.
for dir in s2t s2tw s2twp s2hk s2hkp t2s tw2s tw2sp hk2s hk2sp; do
  src=$corpus/zh_CN.txt; [ "${dir#s2}" = "$dir" ] && src=$corpus/zh_TW.txt
  run "$nb/opencc_native_bench" $dir "$data" "$src" 5
  run "$here/with-display.sh" "$here/wine-run.sh" "$build/bin/glyphmap_bench.exe" $dir "Z:${src//\//\\}" 5
  run "$here/with-display.sh" "$here/wine-run.sh" "$build/bin/glyphmap_bench.exe" $dir "Z:${src//\//\\}" 1 opencc
  # Debian's opencc command (1.1.6), what a Linux user has at hand.
  if command -v opencc >/dev/null && { [ $dir = s2t ] || [ $dir = t2s ]; }; then
    start=$(date +%s.%N)
    opencc -c $dir.json -i "$src" -o /dev/null
    end=$(date +%s.%N)
    awk -v b="$(stat -c %s "$src")" -v s="$start" -v e="$end" -v d=$dir \
      'BEGIN { printf "bench: debian_opencc_%s %.2f MB/s\n", d, b / (e - s) / 1e6 }' | tee -a "$results"
  fi
done

# The per-configuration ratios, from the lines above. Both sides are timed by
# the clock and by the processor time of their thread; on a busy machine only
# the latter compares like with like.
config_summary() {
  awk '
    /^bench: opencc_native_[a-z0-9]+ / { n[substr($2, 15)] = $3 }
    /^bench: glyphmap_[a-z0-9]+ / { g[substr($2, 10)] = $3 }
    /^bench: debian_opencc_(s2t|t2s) / { d[substr($2, 15)] = $3 }
    /^bench: glyphmap_first_open_[a-z0-9]+ / { fo[substr($2, 21)] = $3 }
    /^bench: glyphmap_later_open_[a-z0-9]+ / { lo[substr($2, 21)] = $3 }
    /^bench: opencc_native_cpu_[a-z0-9]+ / { nc[substr($2, 19)] = $3 }
    /^bench: glyphmap_cpu_[a-z0-9]+ / { gc[substr($2, 14)] = $3 }
    /^bench: opencc_same_process_open_[a-z0-9]+ / { oo[substr($2, 26)] = $3 }
    END {
      for (k in fo) if (oo[k] > 0) printf "bench: glyphmap_first_open_vs_opencc_load_%s %.2f x\n", k, fo[k] / oo[k]
      for (k in g) {
        if (n[k] > 0) printf "bench: glyphmap_vs_native_%s %.2f x\n", k, g[k] / n[k]
        if (nc[k] > 0) printf "bench: glyphmap_vs_native_cpu_%s %.2f x\n", k, gc[k] / nc[k]
        if (d[k] > 0) printf "bench: glyphmap_vs_debian_opencc_%s %.2f x\n", k, g[k] / d[k]
      }
    }' "$results"
}

# Proofreading: places per 1,000 Han characters by rank threshold on the
# manual pages, the poetry sample and the prose sample, and the cost of
# finding them next to the plain conversion (BENCH_ONLY=places: these alone).
for dir in s2t s2twp; do
  for sample in "manpages:$corpus/zh_CN.txt" "poetry:$top/tools/bench/samples/poetry_zh_CN.txt" \
                "prose:$top/tests/unit/textio_zh_hans.txt"; do
    run "$here/with-display.sh" "$here/wine-run.sh" "$build/bin/places_bench.exe" $dir "${sample%%:*}" \
      "Z:${sample#*:}" 5
  done
done
if [ "${BENCH_ONLY:-}" = places ]; then exit 0; fi

# BENCH_ONLY=configs: the conversions alone, a few minutes.
if [ "${BENCH_ONLY:-}" = configs ]; then
  config_summary
  exit 0
fi

# The file job over about 100 MB of the same text with Windows line ends,
# in three encodings, and with Unix line ends (LF) in UTF-8.
big=$corpus/job-crlf
mkdir -p "$big"
if [ ! -s "$big/utf8.txt" ]; then
  : > "$big/utf8.tmp"
  while [ "$(stat -c %s "$big/utf8.tmp")" -lt 100000000 ]; do sed 's/$/\r/' "$corpus/zh_CN.txt" >> "$big/utf8.tmp"; done
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$big/utf8.tmp"; } > "$big/utf16.txt"
  iconv -c -f UTF-8 -t GBK "$big/utf8.tmp" > "$big/gbk.txt" || true
  mv "$big/utf8.tmp" "$big/utf8.txt"
fi
if [ ! -s "$big/utf8-lf.txt" ]; then
  tr -d '\r' < "$big/utf8.txt" > "$big/utf8-lf.tmp"
  mv "$big/utf8-lf.tmp" "$big/utf8-lf.txt"
fi
# One process per file, so that the kernel's peak resident size of that
# process is the job's peak for that file (Wine's own figures do not follow
# its heap).
# The same run over a file of one line gives the process's own base: Wine,
# the runtime, and the dictionaries while they are loaded.
printf '头发\r\n' > "$big/tiny.txt"
rss=$(mktemp)
/usr/bin/time -o "$rss" -f %M "$here/with-display.sh" "$here/wine-run.sh" \
  "$build/bin/filejob_bench.exe" s2t tiny "$(win "$big/tiny.txt")" 3 >/dev/null 2>&1
base=$(tail -1 "$rss")
rm -f "$rss"
echo "bench: filejob_base_peak_resident $(awk -v k="$base" 'BEGIN { printf "%.1f", k / 1024 }') MiB" | tee -a "$results"
for spec in utf8:3 utf16:1 gbk:0 utf8-lf:3; do
  name=${spec%%:*} enc=${spec##*:}
  rss=$(mktemp)
  run /usr/bin/time -o "$rss" -f %M "$here/with-display.sh" "$here/wine-run.sh" \
    "$build/bin/filejob_bench.exe" s2t $name "$(win "$big/$name.txt")" $enc
  awk -v k="$(tail -1 "$rss")" -v f="$(stat -c %s "$big/$name.txt")" -v n=$name -v b="$base" \
    'BEGIN { printf "bench: filejob_s2t_%s_peak_resident %.1f MiB (file %.1f MiB; beyond the base and the file %.1f MiB)\n",
             n, k / 1024, f / 1048576, (k - b) / 1024 - f / 1048576 }' | tee -a "$results"
  rm -f "$rss"
done
# A stop a fifth of the way into the LF file: from the request to the end.
run "$here/with-display.sh" "$here/wine-run.sh" \
  "$build/bin/filejob_bench.exe" stop s2t utf8-lf "$(win "$big/utf8-lf.txt")" 3
# 1,000 subtitles of 20-60 KB (numbered cues, timings, a line of text
# each), queued and converted in one run, against one file of the same bytes.
subs=$corpus/subtitles
if [ ! -s "$subs/all.srt" ] || [ "$(ls "$subs"/files | wc -l)" -ne 1000 ]; then
  rm -rf "$subs"
  mkdir -p "$subs/files"
  grep -v '^[[:space:]]*$' "$corpus/zh_CN.txt" | LC_ALL=C awk -v dir="$subs/files" '
    { lines[n++] = $0 }
    END {
      k = 0
      for (i = 1; i <= 1000; i++) {
        f = sprintf("%s/%04d.srt", dir, i); size = 0
        target = 20000 + (i * 7919) % 40001
        for (cue = 1; size < target; cue++) {
          t = cue * 3
          c = sprintf("%d\r\n%02d:%02d:%02d,000 --> %02d:%02d:%02d,500\r\n%s\r\n\r\n", cue,
                      t / 3600, (t / 60) % 60, t % 60, t / 3600, (t / 60) % 60, t % 60 + 2,
                      lines[k++ % n])
          printf "%s", c > f; size += length(c)
        }
        close(f)
      }
    }'
  cat "$subs"/files/*.srt > "$subs/all.srt"
fi
run "$here/with-display.sh" "$here/wine-run.sh" "$build/bin/filejob_bench.exe" many s2t \
  "$(win "$subs/files")" "$(win "$subs/all.srt")"
# The same 1,000 files as a user meets them: the folder handed to the
# program, converted from Start on its file page to the end of the run.
if [ -f "$build/bin/tarnwell.exe" ]; then
  run "$here/with-display.sh" "$here/wine-run.sh" "$build/bin/program_bench.exe" \
    file "$(win "$build/bin/tarnwell.exe")" "$(win "$subs/files")" 3
fi
# The command line over the same files, in one process as the job above.
run "$here/with-display.sh" "$here/wine-run.sh" "$build/bin/cli_bench.exe" s2t \
  utf8 "$(win "$big/utf8.txt")" 3 utf16 "$(win "$big/utf16.txt")" 1 gbk "$(win "$big/gbk.txt")" 0
start=$(date +%s.%N)
opencc -c s2t.json -i "$big/utf8.txt" -o /dev/null
end=$(date +%s.%N)
awk -v b="$(stat -c %s "$big/utf8.txt")" -v s="$start" -v e="$end" \
  'BEGIN { printf "bench: debian_opencc_s2t_100MB %.2f MB/s\n", b / (e - s) / 1e6 }' | tee -a "$results"

awk '
  /^bench: filejob_s2t_(utf8|utf16|gbk) / { j[substr($2, 13)] = $3 }
  /^bench: cli_s2t_(utf8|utf16|gbk) / { c[substr($2, 9)] = $3 }
  END { for (k in c) if (j[k] > 0) printf "bench: cli_vs_filejob_s2t_%s %.2f x\n", k, c[k] / j[k] }' "$results" |
  tee -a "$results.ratios"
cat "$results.ratios" >> "$results"
rm -f "$results.ratios"
awk '
  /^bench: filejob_s2t_utf8 / { j = $3 }
  /^bench: debian_opencc_s2t_100MB / { d = $3 }
  END { if (d > 0) printf "bench: filejob_utf8_vs_debian_opencc %.2f x\n", j / d }' "$results"
config_summary

user_figures
summary_table
