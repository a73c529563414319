#!/usr/bin/env bash
# Compares the two format libraries with their peers on the same page files, in one run:
#   PDF_Encode (ostrel) against img2pdf and a plain copy of the page files into one file,
#   MultiTiffEncode (quilmar) against tiffcp and the plain copy,
# for a 100-page colour document (A4 at 300 dpi, JPEG pages of about 1 MB) and a 100-page
# black-and-white document (A4 at 300 dpi, Group 4 page TIFFs), then the peak memory of both
# libraries at 1,000 pages. Prints a Markdown table of median wall time and peak memory.
#
# usage: bench/run-formats.sh [BUILD_DIR] [RUNS]   (default build/formats, 5 runs a row; the
# 1,000-page rows and the slowest peers run once)
# Build first: cmake --build BUILD_DIR --target formats_bench
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/formats}
runs=${2:-5}
bin=$build/bin
for tool in "$bin/formats_bench" "$bin/pagemaker" /usr/bin/time img2pdf tiffcp; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
export QT_QPA_PLATFORM=offscreen

work=$(mktemp -d "${TMPDIR:-/tmp}/velnor-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
colour_id=0000C010
bw_id=0000B010

# Page files of both documents, pages 1..100, and 1,000-page folders whose names point at them.
mkdir -p "$work/colour" "$work/bw"
echo "making page files in $work ..." >&2
"$bin/pagemaker" document "$work/colour" "$colour_id" 100 colour --pattern 1
"$bin/pagemaker" document "$work/bw" "$bw_id" 100 bw --pattern 1
mkdir -p "$work/colour1000" "$work/bw1000"
for ((k = 1; k <= 1000; k++)); do
    src=$(( (k - 1) % 100 + 1 ))
    ln -s "$work/colour/${colour_id}_$src.jpg" "$work/colour1000/${colour_id}_$k.jpg"
    ln -s "$work/bw/${bw_id}_$src.tif" "$work/bw1000/${bw_id}_$k.tif"
done
pages() {  # folder id extension count: the page files in page order
    local k
    for ((k = 1; k <= $4; k++)); do printf '%s/%s_%d.%s\n' "$1" "$2" "$k" "$3"; done
}
mapfile -t colour_pages < <(pages "$work/colour" "$colour_id" jpg 100)
mapfile -t bw_pages < <(pages "$work/bw" "$bw_id" tif 100)
mapfile -t colour1000_pages < <(pages "$work/colour1000" "$colour_id" jpg 1000)
mapfile -t bw1000_pages < <(pages "$work/bw1000" "$bw_id" tif 1000)
cat "${colour_pages[@]}" "${bw_pages[@]}" >/dev/null  # warm the page cache

# PDF_Encode turns its black-and-white page files into raw strips: every run gets fresh copies,
# made before the clock starts.
fresh_bw() {  # source-folder
    rm -rf "$work/bwrun" && cp -rL "$1" "$work/bwrun"
}

# The rows of the table. Rows run in rounds, each round running every row that still needs a
# run, so that a change in the machine's load falls on all rows alike.
labels=() counts=() preps=() commands=()
row() {  # COUNT LABEL PREPARE COMMAND (one string; the paths hold no spaces)
    counts+=("$1") labels+=("$2") preps+=("$3") commands+=("$4")
}
none() { :; }
fresh_bw100() { fresh_bw "$work/bw"; }
fresh_bw1000() { fresh_bw "$work/bw1000"; }

fb="$bin/formats_bench"
row "$runs" "colour 100: plain copy (cat)" none "cat ${colour_pages[*]} > $work/out.bin"
row "$runs" "colour 100: PDF_Encode" none "$fb pdf $work/out.pdf $work/colour $colour_id 1 100 colour"
row "$runs" "colour 100: img2pdf" none "img2pdf -o $work/out.pdf ${colour_pages[*]}"
row "$runs" "bw 100: plain copy (cat)" none "cat ${bw_pages[*]} > $work/out.bin"
row "$runs" "bw 100: PDF_Encode" fresh_bw100 "$fb pdf $work/out.pdf $work/bwrun $bw_id 1 100 bw"
row "$runs" "bw 100: img2pdf" none "img2pdf -o $work/out.pdf ${bw_pages[*]}"
row "$runs" "bw 100: MultiTiffEncode" none "$fb tiff $work/out.tif $work/bw $bw_id 1 100"
row 1 "bw 100: tiffcp" none "tiffcp ${bw_pages[*]} $work/out.tif"
row 1 "colour 1000: plain copy (cat)" none "cat ${colour1000_pages[*]} > $work/out.bin"
row 1 "colour 1000: PDF_Encode" none "$fb pdf $work/out.pdf $work/colour1000 $colour_id 1 1000 colour"
row 1 "bw 1000: plain copy (cat)" none "cat ${bw1000_pages[*]} > $work/out.bin"
row 1 "bw 1000: PDF_Encode" fresh_bw1000 "$fb pdf $work/out.pdf $work/bwrun $bw_id 1 1000 bw"
row 1 "bw 1000: MultiTiffEncode" none "$fb tiff $work/out.tif $work/bw1000 $bw_id 1 1000"

declare -A times peaks
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for ((round = 0; round < runs; round++)); do
    for i in "${!labels[@]}"; do
        ((round < counts[i])) || continue
        rm -f "$work/out.pdf" "$work/out.tif" "$work/out.bin"
        ${preps[i]}
        sync  # no write-back of an earlier run's output during this one
        start=$(date +%s%N)
        /usr/bin/time -f %M -o "$work/rss" sh -c "${commands[i]}" >/dev/null 2>"$work/err" ||
            { echo "failed: ${labels[i]}" >&2; cat "$work/err" >&2; exit 1; }
        end=$(date +%s%N)
        times[$i]+="$(( (end - start) / 1000 )) "
        rss=$(tail -1 "$work/rss")
        ((rss > ${peaks[$i]:-0})) && peaks[$i]=$rss
    done
    echo "round $((round + 1)) of $runs done" >&2
done

results=()
for i in "${!labels[@]}"; do
    median=$(printf '%s\n' ${times[$i]} | sort -n | sed -n "$(( (counts[i] + 1) / 2 ))p")
    results+=("${labels[i]}|$median|${peaks[$i]}|${counts[i]}")
done

colour_mb=$(du -bcL "${colour_pages[@]}" | tail -1 | cut -f1)
bw_mb=$(du -bcL "${bw_pages[@]}" | tail -1 | cut -f1)
echo
echo "Load average before and after the runs: $load_before / $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) cores)."
echo "Pages: colour $((colour_mb / 100 / 1024)) KiB a page on average, black-and-white $((bw_mb / 100 / 1024)) KiB. Median wall time and largest peak RSS of the runs."
echo
echo "| Run | Runs | Wall time (ms) | Peak memory (KiB) |"
echo "|---|---:|---:|---:|"
for row in "${results[@]}"; do
    IFS='|' read -r label us kib count <<<"$row"
    printf '| %s | %d | %.1f | %d |\n' "$label" "$count" "$(echo "$us / 1000" | bc -l)" "$kib"
done
ratio() {  # label-a label-b: a's time divided by b's
    local a b row label us kib count
    for row in "${results[@]}"; do
        IFS='|' read -r label us kib count <<<"$row"
        [[ $label == "$1" ]] && a=$us
        [[ $label == "$2" ]] && b=$us
    done
    printf '%.2f' "$(echo "$a / $b" | bc -l)"
}
echo
echo "| Ratio | Value | Target |"
echo "|---|---:|---|"
echo "| PDF_Encode / plain copy, colour | $(ratio "colour 100: PDF_Encode" "colour 100: plain copy (cat)") | at most 1.3 |"
echo "| PDF_Encode / plain copy, black-and-white | $(ratio "bw 100: PDF_Encode" "bw 100: plain copy (cat)") | at most 1.3 |"
echo "| img2pdf / PDF_Encode, colour | $(ratio "colour 100: img2pdf" "colour 100: PDF_Encode") | at least 3 |"
echo "| img2pdf / PDF_Encode, black-and-white | $(ratio "bw 100: img2pdf" "bw 100: PDF_Encode") | at least 4 |"
echo "| MultiTiffEncode / plain copy | $(ratio "bw 100: MultiTiffEncode" "bw 100: plain copy (cat)") | at most 1.3 |"
echo "| tiffcp / MultiTiffEncode | $(ratio "bw 100: tiffcp" "bw 100: MultiTiffEncode") | at least 20 |"
