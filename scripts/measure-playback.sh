#!/usr/bin/env bash
# What playing costs on an X display without a GPU: plays a one-hour lesson
# with 3,600 sentences on Xvfb and reads the program's processor time and
# resident memory from /proc while it plays.
#
#   scripts/measure-playback.sh [build folder] [seconds to measure]
#
# Environment: PROGRAM=<executable> measures another build of the program
# folder (default: <build>/veltrix); any SDL_* variable (for instance
# SDL_FRAMEBUFFER_ACCELERATION=1, the OpenGL framebuffer) is passed on to it;
# PERF_DATA=<file> records where the time goes with perf(1) while measuring.
# Needs xvfb-run, ffmpeg and the build's sample writer and X session tool
# (built here on demand).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
on_display=false
if [[ ${1:-} == --on-display ]]; then  # the second half, run by xvfb-run below
    on_display=true
    shift
fi
build=$(cd "${1:-$root/build}" && pwd)
seconds=${2:-30}
program=${PROGRAM:-$build/veltrix}
lesson=${VELTRIX_MEASURE_LESSON:-/tmp/veltrix-one-hour}

if ! $on_display; then
    cmake --build "$build" --target veltrix_x_session veltrix_sample_writer >/dev/null
    mkdir -p "$lesson"
    if [[ ! -s $lesson/Lesson.xml || ! -s $lesson/Lesson.mp3 ]]; then
        echo "Making the one-hour lesson in $lesson ..."
        : > "$lesson/lesson.txt"
        : > "$lesson/durations.txt"
        for ((i = 1; i <= 3600; i++)); do
            printf 'Sentence %d is read aloud, slowly and clearly.\t文 %d はゆっくりはっきり読まれます。\t\n' "$i" "$i" >> "$lesson/lesson.txt"
            echo 900 >> "$lesson/durations.txt"
        done
        ffmpeg -v error -y -f lavfi -i "sine=frequency=220:sample_rate=22050:duration=3601" -ac 1 -b:a 32k \
            "$lesson/Lesson.mp3"
        "$build/samples/veltrix_sample_writer" "$lesson/lesson.txt" "$lesson/durations.txt" 0 100 \
            "$lesson/Lesson.mp3" "$lesson/Lesson.xml"
    fi
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "${BASH_SOURCE[0]}" --on-display "$build" "$seconds"
fi

measure() {
    local settings
    settings=$(mktemp -d)
    XDG_CONFIG_HOME=$settings XDG_STATE_HOME=$settings SDL_AUDIODRIVER=dummy "$program" &
    local pid=$!
    "$build/tools/veltrix_x_session" "$lesson/Lesson.mp3" "$lesson/shot" >/dev/null
    sleep 5  # past the first pages of the highlight
    local ticks=$(getconf CLK_TCK)
    read -r -a before < <(cut -d' ' -f14,15 "/proc/$pid/stat")
    local start=$(date +%s.%N)
    if [[ -n ${PERF_DATA:-} ]]; then
        perf record -q --call-graph dwarf,16384 -F 999 -p "$pid" -o "$PERF_DATA" -- sleep "$seconds" 2>/dev/null
    else
        sleep "$seconds"
    fi
    read -r -a after < <(cut -d' ' -f14,15 "/proc/$pid/stat")
    local end=$(date +%s.%N)
    local rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
    local peak=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")
    kill -TERM "$pid"
    wait "$pid" || true
    rm -rf "$settings"
    awk -v u0="${before[0]}" -v s0="${before[1]}" -v u1="${after[0]}" -v s1="${after[1]}" -v t="$ticks" \
        -v a="$start" -v b="$end" -v rss="$rss" -v peak="$peak" 'BEGIN {
            printf "playing: %.2f %% of a core, %.1f MB resident (peak %.1f MB)\n",
                   100 * ((u1 + s1) - (u0 + s0)) / t / (b - a), rss / 1024, peak / 1024 }'
}
measure
