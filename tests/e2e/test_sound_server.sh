#!/usr/bin/env bash
# The game playing through a real sound server (PulseAudio with a null sink, recorded with parec;
# OpenAL Soft picks its backend itself) that dies and comes back, as after an update or a crash:
# the menu music is heard; without the server the game draws on; once the server is back the
# music is heard again within 3 s, and in a level so is the laser.
source "$(dirname "$0")/lib.sh"

use_private_copy
use_sound_server
record menu-before
start_display
log_frames
start_to_menu menu
heard_from=$(now)
sleep 2
stop_recording
menu_music=$(audio_rms "$(into_recording "$heard_from")" 2)
at_least "$menu_music" 0.02 || fail "no menu music through the sound server (RMS $menu_music)"
note "menu music through PulseAudio: RMS $menu_music"

# The server dies; the game draws on.
kill_sound_server
killed=$(now)
sleep 3
without_server=$(frames_between "$killed" "$(now)")
[ "$without_server" -ge 15 ] || fail "only $without_server frames in 3 s without a sound server"
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended when the sound server died"
note "without a sound server the game drew $without_server frames in 3 s"

# The server comes back: the music is heard again, and the time until it is measured in tenths
# of a second of the recording.
restarted=$(now)
start_sound_server
record menu-after
sleep 5
stop_recording
offset=$(into_recording "$restarted")
back_after=""
for tenth in $(seq 0 49); do
    at=$(calc "$tenth / 10")
    if at_least "$(audio_rms "$at" 0.1)" 0.02; then
        back_after=$(calc "$at - $offset")
        break
    fi
done
[ -n "$back_after" ] || fail "no music in 5 s after the sound server came back"
at_least 3 "$back_after" || fail "the music came back only $back_after s after the server"
at_least "$(audio_rms "$(calc "$at + 1")" 2)" 0.02 || fail "the music came back but did not last"
note "the music came back $back_after s after the sound server did"

# A level after the restart: the laser is heard over the level's music.
record level
start_level_by_keys > /dev/null
sleep 1
quiet_from=$(now)
sleep 1.5
firing_from=$(now)
hold_key space 1.5
stop_recording
quiet=$(audio_rms "$(into_recording "$quiet_from")" 1.2 "${LASER_BAND[@]}")
firing=$(audio_rms "$(into_recording "$firing_from")" 1.2 "${LASER_BAND[@]}")
at_least "$firing" "$(calc "$quiet * $LASER_GAIN")" ||
    fail "no laser in the level after the restart (band RMS $firing firing, $quiet not)"
note "the laser after the restart: band RMS $firing firing against $quiet not"

end_by_signals TERM any-stderr
# OpenAL Soft reports the lost server on stderr; nothing else may be there.
unexpected=$(grep -v '^AL lib: (EE)' "$OUT_DIR/game.err" || true)
[ -z "$unexpected" ] || fail "the game wrote errors: $unexpected"
