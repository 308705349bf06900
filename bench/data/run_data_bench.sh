#!/bin/sh
# Runs the captured-data benchmarks and sets each throughput against `cat FILE > /dev/null` of the
# same file in the same run.
#   bench/data/run_data_bench.sh [path/to/harvexa_bench_data] [benchmark options...]
# HARVEXA_DATA_BENCH_DIR names the folder for the generated capture file (default /tmp/harvexa-data-bench).
set -eu

BENCH=${1:-}
if [ -z "$BENCH" ]; then
    BENCH=$(find "$(dirname "$0")/../../build"* -name harvexa_bench_data -type f 2>/dev/null | head -n 1)
else
    shift
fi
if [ -z "$BENCH" ] || [ ! -x "$BENCH" ]; then
    echo "harvexa_bench_data not found; build it with -DHARVEXA_BUILD_BENCH=ON and pass its path" >&2
    exit 1
fi

JSON=$(mktemp /tmp/harvexa-data-bench-XXXXXX.json)
trap 'rm -f "$JSON"' EXIT
"$BENCH" --benchmark_out="$JSON" --benchmark_out_format=json "$@"

python3 - "$JSON" <<'PY'
import json, sys
runs = {b["name"].split("/")[0]: b for b in json.load(open(sys.argv[1]))["benchmarks"]}
mb = lambda name: runs[name]["bytes_per_second"] / 1e6 if name in runs else None
pairs = [("BM_LoadCaptureFile", "BM_CatCaptureFile"),
         ("BM_LoadCaptureFileWithoutCheckpoint", "BM_CatCaptureFile"),
         ("BM_ExportCsv", "BM_CatExportCsv"),
         ("BM_ExportTxt", "BM_CatExportCsv"),
         ("BM_SaveCheckpoint", "BM_CatCaptureFile")]
print()
print(f"{'operation':40} {'MB/s':>10} {'cat MB/s':>10} {'ratio':>8}  target 50 MB/s")
for name, cat in pairs:
    if mb(name) is None or mb(cat) is None:
        continue
    verdict = "met" if mb(name) >= 50 else "MISSED"
    if name == "BM_SaveCheckpoint":
        verdict = "(part of the load)"
    print(f"{name:40} {mb(name):10.1f} {mb(cat):10.1f} {mb(name) / mb(cat):8.3f}  {verdict}")
PY
