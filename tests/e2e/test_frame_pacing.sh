#!/usr/bin/env bash
# Xvfb has no vertical sync, SDL reads no refresh rate from it (so the game takes 60 Hz) and its
# GL refuses every swap interval: the game alone must keep the menu from drawing faster than the
# display shows frames. Over five seconds of the menu at 640x480 the frame log must hold no more
# than 60 frames a second (+3 %), as frames of ordinary length, not bursts of tiny ones between
# pauses. measurements.txt holds the menu's frame rate, the frame-time median, 99th percentile
# and worst frame, and the game's processor use over the same seconds.
source "$(dirname "$0")/lib.sh"
REFRESH_HZ=60
MEASURED_SECONDS=5

export ALSOFT_DRIVERS=null
start_display 640x480
log_frames
start_to_menu menu

# The processor time the game has used so far, user and system, in seconds.
cpu_seconds() {
    awk -v tick="$(getconf CLK_TCK)" '{ printf "%.2f", ($14 + $15) / tick }' "/proc/$GAME_PID/stat"
}

from=$(now)
cpu_from=$(cpu_seconds)
sleep "$MEASURED_SECONDS"
to=$(now)
cpu_to=$(cpu_seconds)
quit_from_menu

# The menu's frame times over those seconds, sorted, in milliseconds.
awk -v from="$from" -v to="$to" '$1 == "swap" && $2 > from && $2 <= to { print $2 }' "$FRAME_LOG" |
    awk 'NR > 1 { printf "%.3f\n", ($1 - last) * 1000 } { last = $1 }' |
    sort -n > "$OUT_DIR/menu-frame-ms.txt"
frames=$(wc -l < "$OUT_DIR/menu-frame-ms.txt")
[ "$frames" -ge 10 ] || fail "the menu drew $frames frames in $MEASURED_SECONDS s"
rate=$(frame_rate "$from" "$to")
nth_frame_ms() { sed -n "${1}p" "$OUT_DIR/menu-frame-ms.txt"; }
median=$(nth_frame_ms $(((frames + 1) / 2)))
p99=$(nth_frame_ms $(((frames * 99 + 99) / 100)))
worst=$(nth_frame_ms "$frames")
cpu=$(calc "($cpu_to - $cpu_from) / ($to - $from) * 100")
write_measurements menu_640x480_frames_per_second=rate menu_frame_ms_median=median \
    menu_frame_ms_p99=p99 menu_frame_ms_worst=worst menu_cpu_percent_of_one_core=cpu
note "menu: $rate frames/s, frame times median $median ms, p99 $p99 ms, worst $worst ms, CPU $cpu %"

at_least "$(calc "$REFRESH_HZ * 1.03")" "$rate" || fail "the menu drew $rate frames a second"
at_least "$median" "$(calc "800 / $REFRESH_HZ")" ||
    fail "half the menu's frames were shorter than $median ms"
