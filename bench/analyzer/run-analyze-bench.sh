#!/usr/bin/env bash
# Wall time, CPU time and peak memory of `corvin-dsp analyze` on generated recordings with
# noise, tones and tone-burst trains in nine bands (all eight band analyses run): 48 kHz mono,
# or RATE and CHANNELS from the environment (for example RATE=96000 CHANNELS=64 against its
# mono twin, to see that memory does not grow with the channels).
#
#   [RATE=HZ] [CHANNELS=N] bench/analyzer/run-analyze-bench.sh BUILD_DIR WORK_DIR [HOURS...]
#   (default HOURS: 1)
#
# Recordings are generated into WORK_DIR once and reused; reports go to WORK_DIR/reports.
# Each run prints one line: hours, wall seconds, user and system CPU seconds, real-time factor
# and peak resident memory.
set -euo pipefail

build=${1:?build directory}
work=${2:?work directory}
shift 2
hours=("${@:-1}")
[ ${#hours[@]} -gt 0 ] || hours=(1)
rate=${RATE:-48000}
channels=${CHANNELS:-1}

gen="$build/bench/analyzer/corvin-bench-wavgen"
dsp="$build/tools/dsp/corvin-dsp"
mkdir -p "$work/reports"

for h in "${hours[@]}"; do
    name="${h}h_${rate}hz_${channels}ch"
    wav="$work/bench_$name.wav"
    [ -s "$wav" ] || "$gen" "$wav" "$h" "$rate" "$channels"
    log="$work/time_$name.txt"
    /usr/bin/time -v "$dsp" analyze "$wav" --out "$work/reports" >"$work/out_$name.txt" 2>"$log"
    awk -v h="$h" -v rate="$rate" -v channels="$channels" '
        /Elapsed \(wall clock\)/ { n = split($NF, p, ":"); wall = 0; for (i = 1; i <= n; i++) wall = wall * 60 + p[i] }
        /User time/ { user = $NF }
        /System time/ { sys = $NF }
        /Maximum resident set size/ { rss = $NF }
        END { printf "hours=%s rate=%s channels=%s wall_s=%.1f user_s=%.1f sys_s=%.1f realtime_x=%.1f peak_rss_mib=%.1f\n",
                     h, rate, channels, wall, user, sys, h * 3600 / wall, rss / 1024 }' "$log"
done
