#!/usr/bin/env bash
# No audio lost while armed: the anomaly detector armed with analysis and automatic capture on
# a 48 kHz stereo input for SECONDS (default 600), fed by the receiver simulator with an audio
# event every 40 s, while `corvin-dsp analyze` runs over and over on a 1 h recording and keeps
# both cores busy. Prints the samples the armed session received and the frames the simulator
# wrote; they agree within one buffer when nothing was dropped.
#
#   bench/anomaly/run-soak.sh BUILD_DIR WORK_DIR [SECONDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build=${1:?build directory}
work=${2:?work directory}
seconds=${3:-600}
soak="$work/soak"
rm -rf "$soak"
mkdir -p "$soak/reports"

wav="$work/bench_1h.wav"
[ -s "$wav" ] || "$build/bench/analyzer/corvin-bench-wavgen" "$wav" 1

pulse_dir="$soak/pulse"
eval "$(CORVIN_AUDIO_CHANNELS=2 "$root/scripts/pulse-test-server" start "$pulse_dir")"
sim_pid=""
load_pid=""
cleanup() {
    touch "$soak/stop-load"
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
    [ -n "$load_pid" ] && wait "$load_pid" 2>/dev/null || true
    "$root/scripts/pulse-test-server" stop "$pulse_dir" || true
}
trap cleanup EXIT

# Load: the offline analysis, one run after another, on the thread pool of both cores.
(
    while [ ! -e "$soak/stop-load" ]; do
        "$build/tools/dsp/corvin-dsp" analyze "$wav" --out "$soak/reports" >/dev/null 2>&1 || true
        rm -rf "$soak/reports"/report_*
    done
) &
load_pid=$!

# Armed from 2 s before the simulator starts until 3 s after it stops.
"$build/bench/anomaly/corvin-bench-anomaly-soak" $((seconds + 5)) "$soak" corvin_in \
    >"$soak/result.txt" 2>"$soak/soak.err" &
soak_pid=$!
sleep 2
events=()
for ((t = 40; t < seconds; t += 40)); do
    events+=(--audio-event "$t:pulses 1000 200 8")
done
"$build/tools/rxsim/corvin-rxsim" --audio-fifo "$CORVIN_AUDIO_FIFO" --audio-channels 2 \
    "${events[@]}" >"$soak/rxsim.out" 2>"$soak/rxsim.err" &
sim_pid=$!
sleep "$seconds"
kill "$sim_pid"
wait "$sim_pid" || true
sim_pid=""
wait "$soak_pid"
echo "armed session: $(cat "$soak/result.txt")"
echo "simulator: $(grep 'audio frames written' "$soak/rxsim.err" | sed 's/^corvin-rxsim: //')"
echo "audio events sent: $(grep -c 'audio event' "$soak/rxsim.err")"
