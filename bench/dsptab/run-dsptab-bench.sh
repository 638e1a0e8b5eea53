#!/usr/bin/env bash
# Medians of the DSP tab's view benchmarks on the result of a 1-hour 48 kHz mono recording
# with tone-burst trains in nine bands (the analyzer benchmark's recording, generated once).
#
#   bench/dsptab/run-dsptab-bench.sh BUILD_DIR WORK_DIR [REPETITIONS]   (default 5)
set -euo pipefail
build=${1:?build directory}
work=${2:?work directory}
repetitions=${3:-5}
mkdir -p "$work"
wav="$work/bench_1h.wav"
[ -s "$wav" ] || "$build/bench/analyzer/corvin-bench-wavgen" "$wav" 1
QT_QPA_PLATFORM=offscreen "$build/bench/dsptab/corvin-bench-dsptab" --wav "$wav" \
    --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true
