#!/bin/sh
# Installs the build into a fresh prefix and checks the installed copy as a
# desktop user meets it: the program folder under lib/veltrix, the veltrix
# command, the desktop entry and icon; then runs it from the command's link as
# a user who cannot write to the program folder, which must keep its settings
# in that user's settings folder.
#   install-test.sh <build folder>
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
chmod 755 "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "install: $*" >&2; exit 1; }
program=$prefix/lib/veltrix
[ -x "$program/veltrix" ] || fail "no program in lib/veltrix"
[ -L "$prefix/bin/veltrix" ] || fail "bin/veltrix is not a link"
[ "$(readlink -f "$prefix/bin/veltrix")" = "$(readlink -f "$program/veltrix")" ] || fail "bin/veltrix points elsewhere"
for module in bass bass_fx bassenc bassmix basswma; do
    [ -f "$program/Plugins/lib$module.so" ] || fail "Plugins/lib$module.so missing"
done
[ -f "$program/Resources/OrvellaThemeList.xml" ] || fail "Resources missing"
[ -d "$program/Dictionaries/PDIC" ] && [ -d "$program/Dictionaries/WordNet" ] || fail "Dictionaries missing"
entry=$prefix/share/applications/veltrix.desktop
grep -qx 'Exec=veltrix' "$entry" || fail "the desktop entry does not start veltrix"
grep -qx 'Icon=veltrix' "$entry" || fail "the desktop entry names no icon"
[ -f "$prefix/share/icons/hicolor/scalable/apps/veltrix.svg" ] || fail "no icon"

home=$prefix/home
mkdir -p "$home"
chmod 777 "$home"
run() {
    env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_STATE_HOME="$home/state" VELTRIX_DISPLAY=headless \
        SDL_AUDIODRIVER=dummy VELTRIX_CLOSE_AFTER_START=1 "$@" "$prefix/bin/veltrix"
}
if [ "$(id -u)" -eq 0 ]; then
    # root writes anywhere: run as nobody, who cannot write to the program folder.
    command -v setpriv >/dev/null || { echo "setpriv not found: skipped"; exit 77; }
    run setpriv --reuid=65534 --regid=65534 --clear-groups
else
    chmod -R a-w "$program"
    run
fi
settings=$home/config/veltrix/veltrix.ini
[ -f "$settings" ] || fail "no settings in the user's settings folder"
[ ! -e "$program/veltrix.ini" ] || fail "settings written beside the installed program"
iconv -f UTF-16 -t UTF-8 "$settings" | grep -q '^MainWidth=640' || fail "the placement was not saved"
[ "$(ls "$program/Plugins" | wc -l)" -ge 5 ] || fail "plugins"
chmod -R u+w "$program" 2>/dev/null || true
echo "installed and ran from $prefix"
