#!/usr/bin/env bash
# Speaks the sample lesson with espeak-ng, joins the sentences with short pauses,
# encodes the recording to MP3 with lame and writes its sentence list beside it.
#   make-sample.sh <espeak-ng> <ffmpeg> <lame> <writer> <lesson.txt> <out.mp3>
set -euo pipefail
espeak=$1 ffmpeg=$2 lame=$3 writer=$4 lesson=$5 out=$6
lead_ms=400
gap_ms=900
rate=22050

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

silence() {  # silence of $1 ms as raw 16-bit mono samples
    head -c $(( $1 * rate / 1000 * 2 )) /dev/zero
}

: > "$work/durations.txt"
silence $lead_ms > "$work/all.raw"
n=0
while IFS=$'\t' read -r sentence _; do
    [[ -n $sentence ]] || continue
    n=$((n + 1))
    "$espeak" -v en-us -s 140 -w "$work/$n.wav" "$sentence"
    "$ffmpeg" -v error -y -i "$work/$n.wav" -f s16le -ac 1 -ar $rate "$work/$n.raw"
    bytes=$(stat -c %s "$work/$n.raw")
    echo $(( bytes / 2 * 1000 / rate )) >> "$work/durations.txt"
    cat "$work/$n.raw" >> "$work/all.raw"
    silence $gap_ms >> "$work/all.raw"
done < "$lesson"

"$ffmpeg" -v error -y -f s16le -ar $rate -ac 1 -i "$work/all.raw" "$work/all.wav"
"$lame" --quiet -m m -b 64 --id3v2-only --tt "Asking the Way" --ta "Veltrix sample lesson" "$work/all.wav" "$work/out.mp3"
mkdir -p "$(dirname "$out")"
mv "$work/out.mp3" "$out"
"$writer" "$lesson" "$work/durations.txt" $lead_ms $gap_ms "$out" "${out%.*}.xml"
