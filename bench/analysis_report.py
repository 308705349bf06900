#!/usr/bin/env python3
"""Runs harvexa_bench_analysis and prints the page-analysis report table.

usage: bench/analysis_report.py BUILD_DIR/bin/harvexa_bench_analysis [extra benchmark flags]

Per corpus: throughput of Extract (all flags on) at 20 KB, 200 KB and 2 MB, the growth ratio
time(2 MB) / time(200 KB) (linear growth gives about 10), and the literal delete-the-head procedures
on the same pages with the speed gained. Times are CPU times, medians of the repetitions.
"""
import json
import re
import subprocess
import sys

SIZES = ["20KB", "200KB", "2048KB"]


def run(binary, extra):
    args = [binary, "--benchmark_format=json", "--benchmark_repetitions=3",
            "--benchmark_report_aggregates_only=true"] + extra
    out = subprocess.run(args, check=True, capture_output=True, text=True).stdout
    results = {}
    for bench in json.loads(out)["benchmarks"]:
        if bench.get("aggregate_name", "median") != "median":
            continue
        name = bench["run_name"] if "run_name" in bench else bench["name"].rsplit("_", 1)[0]
        name = re.sub(r"/(iterations|repeats):\d+", "", name)
        scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[bench["time_unit"]]
        results[name] = {"seconds": bench["cpu_time"] * scale, "rate": bench.get("bytes_per_second", 0.0)}
    return results


def mbs(result):
    return "%8.1f" % (result["rate"] / 1e6) if result else "       -"


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    results = run(sys.argv[1], sys.argv[2:])
    corpora = sorted({name.split("/")[1] for name in results if name.startswith("Extract/")},
                     key=lambda c: ["typical", "result_page", "only_href", "only_at", "no_close_bracket"].index(c)
                     if c in ["typical", "result_page", "only_href", "only_at", "no_close_bracket"] else 99)
    print("Extract, all flags on (MB/s, CPU time, median of 3)")
    print("%-18s %8s %8s %8s %10s | %8s %8s %8s | %s" % ("corpus", *SIZES, "2MB/200KB", *["lit " + s for s in SIZES],
                                                          "gain"))
    for corpus in corpora:
        fast = [results.get("Extract/%s/%s" % (corpus, size)) for size in SIZES]
        literal = [results.get("Literal/%s/%s" % (corpus, size)) for size in SIZES]
        ratio = fast[2]["seconds"] / fast[1]["seconds"] if fast[1] and fast[2] else float("nan")
        gains = ["%s x%.0f" % (size, lit["seconds"] and f["seconds"] and lit["seconds"] / f["seconds"])
                 for size, f, lit in zip(SIZES, fast, literal) if f and lit]
        print("%-18s %s %s %s %10.2f | %s %s %s | %s" % (corpus, *[mbs(f) for f in fast], ratio,
                                                          *[mbs(l) for l in literal], ", ".join(gains)))
    others = [name for name in results if not name.startswith(("Extract/", "Literal/"))]
    if others:
        print()
        for name in others:
            print("%-32s %8.1f MB/s" % (name, results[name]["rate"] / 1e6))


if __name__ == "__main__":
    main()
