#!/usr/bin/env bash
# Page download throughput and listing time of Velnor's device layer against curl doing the same
# HTTP exchanges with the same simulator, in one run (interleaved rounds, medians).
#
#   bench/run-device.sh <build folder> [rounds] [page MiB]
#
# The store: box 1 "Bench" with 256 documents (the most one listing holds), box 2 "Other" with
# one; the first document's page 1 has <page MiB> MiB (default 64) of incompressible bytes.
# Everything runs on 127.0.0.1.
set -euo pipefail
build=${1:?usage: bench/run-device.sh <build folder> [rounds] [page MiB]}
rounds=${2:-9}
mib=${3:-64}
bin=$(cd "$build/bin" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/velnor-devbench.XXXXXX")
sim=""
cleanup() {
  if [ -n "$sim" ]; then kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

store=$work/store
mkdir -p "$store/box-1" "$store/box-2"
echo "name=Bench MFP" >"$store/device.txt"
printf 'name=Bench\nattribute=1\npassword=\n' >"$store/box-1/box.txt"
printf 'name=Other\nattribute=1\npassword=\n' >"$store/box-2/box.txt"
document() {  # document <box> <file id> <number>
  local dir=$store/box-$1/doc-$(printf '%08X' "$2")
  mkdir -p "$dir"
  printf 'fileName=%04d\ntimestamp=2026/%02d/%02d %02d:%02d:00\nimageFormat=1\npages=1\nxPixel=2480\nyPixel=3508\nxResolution=300\nyResolution=300\nattribute=0\n' \
    "$3" $((1 + $3 % 12)) $((1 + $3 % 28)) $(($3 % 24)) $(($3 % 60)) >"$dir/document.txt"
  printf 'page' >"$dir/page-1.jpg"
}
for n in $(seq 1 256); do document 1 $((0x1000 + n)) "$n"; done
document 2 $((0x2001)) 1
head -c $((mib * 1024 * 1024)) /dev/urandom >"$store/box-1/doc-00001001/page-1.jpg"

"$bin/mfpsim" --store "$store" --port 0 >"$work/sim.out" 2>"$work/sim.err" &
sim=$!
for _ in $(seq 100); do grep -q '^ready' "$work/sim.out" && break; sleep 0.1; done
port=$(awk '$1 == "http-port" {print $2}' "$work/sim.out")
[ -n "$port" ] || { echo "the simulator did not start"; cat "$work/sim.err"; exit 1; }

echo "Load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
QT_QPA_PLATFORM=offscreen "$bin/device_bench" "$port" "$store" 1 "$rounds" | tee "$work/result.txt"
echo "Load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

awk -F'\t' -v mib="$mib" -v rounds="$rounds" '
  { t[$1] = $2 }
  END {
    printf "\n| Operation | Velnor (ms) | curl (ms) | Velnor / curl |\n|---|---:|---:|---:|\n"
    printf "| page download, %d MiB | %.1f | %.1f | %.2f |\n", mib, t["page: DownloadPageForSave"], t["page: curl"], t["page: DownloadPageForSave"] / t["page: curl"]
    printf "| box listing | %.2f | %.2f | %.2f |\n", t["boxes: ListBoxes"], t["boxes: curl"], t["boxes: ListBoxes"] / t["boxes: curl"]
    printf "| document listing, %d documents | %.2f | %.2f | %.2f |\n", t["documents listed"], t["documents: ListDocuments"], t["documents: curl"], t["documents: ListDocuments"] / t["documents: curl"]
    printf "\nThroughput of the page download: Velnor %.0f MiB/s, curl %.0f MiB/s (median of %d rounds).\n", mib * 1000 / t["page: DownloadPageForSave"], mib * 1000 / t["page: curl"], rounds
  }' "$work/result.txt"
