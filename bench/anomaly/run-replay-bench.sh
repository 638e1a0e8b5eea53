#!/usr/bin/env bash
# Wall time, CPU time and real-time factor of `corvin-dsp replay` on generated 48 kHz mono
# recordings (noise, two steady tones, tone-burst trains in nine bands), with the default
# detector settings.
#
#   bench/anomaly/run-replay-bench.sh BUILD_DIR WORK_DIR [HOURS...]   (default HOURS: 1)
#
# Recordings are generated into WORK_DIR once and reused (the analyzer benchmark's generator);
# CSVs go to WORK_DIR/replay. Each run prints one line: hours, wall seconds, user and system CPU
# seconds, real-time factors by wall and by CPU time, and peak resident memory.
set -euo pipefail

build=${1:?build directory}
work=${2:?work directory}
shift 2
hours=("${@:-1}")

gen="$build/bench/analyzer/corvin-bench-wavgen"
dsp="$build/tools/dsp/corvin-dsp"
mkdir -p "$work/replay"

for h in "${hours[@]}"; do
    wav="$work/bench_${h}h.wav"
    [ -s "$wav" ] || "$gen" "$wav" "$h"
    log="$work/replay_time_${h}h.txt"
    /usr/bin/time -v "$dsp" replay "$wav" --out "$work/replay" >"$work/replay_out_${h}h.txt" \
        2>"$log"
    awk -v h="$h" '
        /Elapsed \(wall clock\)/ { n = split($NF, p, ":"); wall = 0; for (i = 1; i <= n; i++) wall = wall * 60 + p[i] }
        /User time/ { user = $NF }
        /System time/ { sys = $NF }
        /Maximum resident set size/ { rss = $NF }
        END { printf "hours=%s wall_s=%.1f user_s=%.1f sys_s=%.1f realtime_x=%.0f cpu_realtime_x=%.0f peak_rss_mib=%.1f\n",
                     h, wall, user, sys, h * 3600 / wall, h * 3600 / (user + sys), rss / 1024 }' "$log"
done
