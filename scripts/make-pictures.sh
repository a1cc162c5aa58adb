#!/usr/bin/env bash
# Makes the README's pictures from the real program on a virtual X server, so
# they show what the program looks like today:
#
#   scripts/make-pictures.sh [build folder] [picture folder]
#
# Each picture is one run of the program (build/veltrix, started under the
# name veltrix-pictures so that it keeps its settings in
# veltrix-pictures.ini beside itself, never in the learner's veltrix.ini)
# on a screen as large as its window, driven by real X key presses
# (tools/PictureSession.cpp). The pictures go into docs/ unless a folder is
# given. Afterwards it checks the player in every theme at 640 x 480 and at
# 1280 x 800 with nothing clipped (the nothing_clipped test on the headless
# display) and keeps those pictures in <build>/pictures/themes/ for a look.
# Needs xvfb-run and the built program with its sample lesson.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=$(mkdir -p "${2:-$root/docs}" && cd "${2:-$root/docs}" && pwd)
session=$build/tools/veltrix_picture_session
lesson=$build/Samples/AskingTheWay.mp3

cmake --build "$build" --target veltrix veltrix_picture_session nothing_clipped_tests >/dev/null
[[ -s $lesson ]] || cmake --build "$build" --target veltrix_sample >/dev/null
command -v xvfb-run >/dev/null || { echo "make-pictures: xvfb-run is missing (Debian's xvfb)" >&2; exit 1; }

work=$(mktemp -d)
program=$build/veltrix-pictures
trap 'rm -rf "$work"; rm -f "$program" "$build/veltrix-pictures.ini"' EXIT
ln -sf veltrix "$program"
# The sample lesson is copied, so that nothing the pictures do touches it.
cp "$build/Samples/AskingTheWay.mp3" "$build/Samples/AskingTheWay.xml" "$work/"

# run WIDTHxHEIGHT [VARIABLE=value ...] -- step ...
# One run of the program on a screen of that size, its window filling it,
# driven by the steps (see tools/PictureSession.cpp). The variables reach the
# program through ENVIRONMENT_LIST, one a line: xvfb-run passes no array.
run() {
    local size=$1
    shift
    local environment=(XDG_STATE_HOME="$work/state" SDL_AUDIODRIVER=dummy)
    while [[ $1 != -- ]]; do
        environment+=("$1")
        shift
    done
    shift
    ENVIRONMENT_LIST=$(printf '%s\n' "${environment[@]}")
    printf '[Window]\nMainLeft=0\nMainTop=0\nMainWidth=%s\nMainHeight=%s\n' "${size%x*}" "${size#*x}" \
        > "$build/veltrix-pictures.ini"
    cp "$build/Samples/AskingTheWay.xml" "$work/"
    rm -f "$work"/AskingTheWay.dictation.txt
    ENVIRONMENT_LIST=$ENVIRONMENT_LIST xvfb-run -a -s "-screen 0 ${size}x24" bash -c '
        session=$1; program=$2; shift 2
        mapfile -t environment <<< "$ENVIRONMENT_LIST"
        env "${environment[@]}" "$program" &
        pid=$!
        "$session" "$@"
        status=$?
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        exit $status' bash "$session" "$program" "$@" \
        || { echo "make-pictures: a run failed: $*" >&2; return 1; }
    for step in "$@"; do
        [[ $step == shot:* ]] && echo "made ${step#shot:}"
    done
    return 0
}

# The player with the sample lesson open and its third sentence chosen.
open_lesson=(windows:1 wait:800 key:ctrl+o windows:2 wait:300 "type:$work/AskingTheWay.mp3" key:Return
    windows:1 wait:800 key:ctrl+Down key:ctrl+Down wait:600)

run 640x480 -- "${open_lesson[@]}" "shot:$out/player.png"
run 640x480 -- "${open_lesson[@]}" key:F5 wait:1500 "shot:$out/study-loop.png"
run 640x480 -- "${open_lesson[@]}" key:F6 key:ctrl+p wait:5000 "shot:$out/study-auto-pause.png"
run 640x480 -- "${open_lesson[@]}" key:F7 wait:1500 "shot:$out/study-ladder.png"
run 640x480 -- "${open_lesson[@]}" key:F8 wait:500 "type:Excuse me, how do I get to the station" key:Return \
    wait:800 "shot:$out/study-dictation.png"
run 640x480 -- "${open_lesson[@]}" key:ctrl+f wait:400 "type:station" wait:600 "shot:$out/tool-find-replace.png"
run 640x480 -- "${open_lesson[@]}" key:ctrl+w windows:2 wait:800 "shot:$out/tool-word-list.png"
# The sentence editor from the table's menu (a right click on the third row).
run 640x480 -- "${open_lesson[@]}" click:180,91,3 wait:600 key:Down key:Return windows:2 wait:800 \
    "shot:$out/tool-sentence-editor.png"
for downloader in news captions phrases lectures website voa; do
    run 800x600 VELTRIX_OPEN_DOWNLOADER=$downloader -- windows:2 wait:1500 "shot:$out/downloader-$downloader.png"
done

echo "Checking the player in every theme at 640x480 and 1280x800 (pictures in $build/pictures/themes)"
mkdir -p "$build/pictures/themes"
(cd "$build" && VELTRIX_DISPLAY=headless VELTRIX_SAVE_PICTURES="$build/pictures/themes" SDL_AUDIODRIVER=dummy \
    ./nothing_clipped_tests --gtest_brief=1)
