#!/usr/bin/env bash
# Builds the benchmarks (Release), runs them once with 5 repetitions, and
# prints the ratios against their targets, both sides of each from that one
# run. Installs what is missing (Debian 12).
#
# The repetitions of all cases run interleaved in random order, so that a slow
# spell of the machine falls on both sides of a ratio rather than on a whole
# block of one case. Load against raw read and the map update at two sizes
# compare medians. Save and raw write both wait for the device's flush, whose
# time drifts with the disk's other work: they take turns within each
# repetition (iff_bench's SaveAndRawWrite), and the ratio is the median over
# the repetitions of save time / raw write time.
set -euo pipefail
QM_ROOT=$(cd "$(dirname "$0")" && pwd)
cd "$QM_ROOT"
. tools/env.sh
qm_need_packages cmake ninja-build g++ python3 libbenchmark-dev

cmake --preset bench >/dev/null
cmake --build --preset bench -j"$(nproc)" --target iff_bench load_peak

out=build/bench/results
mkdir -p "$out"
echo "== benchmarks (5 repetitions, interleaved)"
build/bench/bench/iff_bench --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
  --benchmark_format=json --benchmark_out_format=json --benchmark_out="$out/iff_bench.json" \
  >/dev/null
build/bench/bench/load_peak >"$out/load_peak.json"

python3 - "$out/iff_bench.json" "$out/load_peak.json" <<'PY'
import json, statistics, sys

bench = json.load(open(sys.argv[1]))
peak = json.load(open(sys.argv[2]))
median = {}
writes = []  # (save, raw write) time per write, in each repetition
for b in bench["benchmarks"]:
    name = b["run_name"].replace("/real_time", "")
    if b.get("error_occurred"):
        sys.exit(f"{name} failed: {b.get('error_message')}")
    if b["run_type"] == "iteration" and name == "SaveAndRawWrite":
        writes.append((b["save_us"], b["raw_write_us"]))
    elif b.get("aggregate_name") == "median":
        median[name] = b["real_time"]
for name, t in median.items():
    print(f"  {name:<20} {t:10.1f} us")
for label, side in (("  save", 0), ("  raw write", 1)):
    print(f"  {label:<20} {statistics.median(w[side] for w in writes):10.1f} us")
save_ratio = statistics.median(save / raw for save, raw in writes)

mib = 1024 * 1024
file_bytes = peak["file_bytes"]
rows = [
    ("load / raw read", median["Load"] / median["RawRead"], 4.0, "x"),
    ("save / raw write", save_ratio, 1.5, "x"),
    ("update(32767) / update(3277)", median["UpdateRsmp/32767"] / median["UpdateRsmp/3277"], 12.0, "x"),
    ("peak heap of a load / MiB", peak["peak_heap_bytes"] / mib, (2 * file_bytes + mib) / mib, " MiB"),
]
print(f"== results (file {file_bytes} bytes; peak heap {peak['peak_heap_bytes']} bytes)")
failed = 0
for label, value, limit, unit in rows:
    ok = value <= limit
    failed += not ok
    print(f"  {'PASS' if ok else 'FAIL'}  {label:<30} {value:7.2f}{unit}  (target <= {limit:.2f}{unit})")
sys.exit(1 if failed else 0)
PY
