#!/bin/sh
# Runs a test program on a fresh virtual X server. Exit code 77 (skipped) when
# no xvfb-run is installed; the whole run is bounded (VELTRIX_XVFB_TIMEOUT
# seconds, 120 unless set) so it never hangs CI.
# The shell's session bus stays out: a test that wants a bus starts its own.
unset DBUS_SESSION_BUS_ADDRESS
command -v xvfb-run >/dev/null 2>&1 || { echo "xvfb-run not found: skipped"; exit 77; }
exec timeout "${VELTRIX_XVFB_TIMEOUT:-120}" xvfb-run -a -s "-screen 0 1024x768x24" "$@"
