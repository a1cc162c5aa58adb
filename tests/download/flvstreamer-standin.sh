#!/bin/sh
# Stands in for the stream recorder in the downloaders' tests. It takes the
# recorder's options (-r address, -s player, -o file), notes its arguments,
# and acts on the address's last part:
#   ...fail...     exits 1 without writing
#   ...short...    writes a recording of 100 bytes (a refused stream)
#   ...notflv...   writes 4000 bytes that are no FLV file
#   ...slow...     writes half a recording, then waits to be stopped
#   ..._<N>s       N seconds of a tone, MP3 in FLV, made by ffmpeg
#   anything else  one second of it
# With VELTRIX_STANDIN_LOG set, each run appends its arguments to that file,
# each ended by a NUL byte, the run ended by a line feed; and its process id
# to that file + ".pids".
here=$(dirname "$0")
address= output=
while [ $# -gt 0 ]; do
  [ -n "$VELTRIX_STANDIN_LOG" ] && printf '%s\0' "$1" >> "$VELTRIX_STANDIN_LOG"
  case $1 in
    -r) address=$2 ;;
    -o) output=$2 ;;
  esac
  if [ "$1" = -r ] || [ "$1" = -s ] || [ "$1" = -o ]; then
    [ $# -gt 1 ] && [ -n "$VELTRIX_STANDIN_LOG" ] && printf '%s\0' "$2" >> "$VELTRIX_STANDIN_LOG"
    shift
  fi
  shift
done
if [ -n "$VELTRIX_STANDIN_LOG" ]; then
  printf '\n' >> "$VELTRIX_STANDIN_LOG"
  echo $$ >> "$VELTRIX_STANDIN_LOG.pids"
fi
[ -n "$output" ] || { echo "no -o given" >&2; exit 2; }
name=${address##*/}
tone() {
  "$here/ffmpeg" -nostdin -loglevel error -y -f lavfi -i "sine=frequency=440:duration=$1" \
    -c:a libmp3lame -b:a 64k -ar 22050 -f flv "$output"
}
case $name in
  *fail*) echo "connection refused" >&2; exit 1 ;;
  *short*) head -c 100 /dev/zero > "$output" ;;
  *notflv*) head -c 4000 /dev/zero | tr '\0' 'x' > "$output" ;;
  *slow*)
    # The half recording appears under its name at once and whole: a test
    # that waits for the file then finds the recorder already waiting, not
    # still writing beside it.
    final=$output
    output=$(mktemp) || exit 1
    tone 2 && head -c 3000 "$output" > "$final.half" && rm -f "$output" && mv "$final.half" "$final"
    echo "recording..." >&2
    exec sleep 60 ;;
  *_[0-9]*s)
    seconds=${name##*_}
    tone "${seconds%s}" ;;
  *) tone 1 ;;
esac
echo "Download complete" >&2
