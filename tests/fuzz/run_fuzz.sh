#!/bin/sh
# Runs a libFuzzer target for a bounded time and fails on any crash, hang or mismatch it finds.
# usage: run_fuzz.sh FUZZER SECONDS WORK_DIR [SEED_DIR...]
# The growing corpus lives in WORK_DIR/corpus, findings in WORK_DIR/crash-*, timeout-*, oom-*.
set -eu
fuzzer=$1
seconds=$2
work=$3
shift 3
mkdir -p "$work/corpus"
exec "$fuzzer" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=4096 -max_len=16384 \
    -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" "$@"
