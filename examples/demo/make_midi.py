#!/usr/bin/env python3
"""Writes the demo's background music, demo.mid: a Standard MIDI File (format 0, one
track) with a short tune of our own over a bass line. Deterministic: the same bytes on
every run, so the committed file can be checked against this script.

    examples/demo/make_midi.py [OUTPUT]   (default: demo.mid beside this script)
"""
import os
import struct
import sys

TICKS_PER_QUARTER = 480
TEMPO_US_PER_QUARTER = 600000  # 100 beats per minute

# (note, length in eighths); None is a rest. C major, two four-bar phrases.
MELODY = [
    (72, 2), (76, 2), (79, 3), (77, 1),
    (76, 2), (74, 2), (72, 4),
    (74, 2), (77, 2), (81, 3), (79, 1),
    (77, 2), (76, 2), (74, 4),
    (76, 2), (79, 2), (84, 3), (83, 1),
    (81, 2), (79, 2), (77, 2), (76, 2),
    (74, 2), (71, 2), (74, 2), (77, 2),
    (76, 4), (72, 4),
]
BASS = [48, 53, 50, 55, 52, 53, 55, 48]  # one whole-bar note per bar

MELODY_CHANNEL, BASS_CHANNEL = 0, 1
CELESTA, ACOUSTIC_BASS = 8, 32


def var_len(value):
    """A MIDI variable-length quantity."""
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(out)


def note_events(notes, channel, velocity, eighth):
    """(absolute tick, event bytes) for note-on and note-off of each note."""
    events, tick = [], 0
    for note, length in notes:
        ticks = length * eighth
        if note is not None:
            events.append((tick, bytes([0x90 | channel, note, velocity])))
            # Released a little early so repeated notes are heard apart.
            events.append((tick + ticks - eighth // 8, bytes([0x80 | channel, note, 0])))
        tick += ticks
    return events


def track_data():
    eighth = TICKS_PER_QUARTER // 2
    head = [
        (0, b"\xff\x03" + var_len(12) + b"Quindle Demo"),
        (0, b"\xff\x51\x03" + TEMPO_US_PER_QUARTER.to_bytes(3, "big")),
        (0, b"\xff\x58\x04\x04\x02\x18\x08"),  # 4/4
        (0, bytes([0xC0 | MELODY_CHANNEL, CELESTA])),
        (0, bytes([0xC0 | BASS_CHANNEL, ACOUSTIC_BASS])),
    ]
    body = note_events(MELODY, MELODY_CHANNEL, 96, eighth)
    body += note_events([(n, 8) for n in BASS], BASS_CHANNEL, 80, eighth)
    # Note-offs before note-ons at the same tick; a stable order keeps the file fixed.
    body.sort(key=lambda e: (e[0], e[1][0] & 0xF0 == 0x90, e[1]))
    end = max(t for t, _ in body)
    data, last = bytearray(), 0
    for tick, event in head + body + [(end, b"\xff\x2f\x00")]:
        data += var_len(tick - last) + event
        last = tick
    return bytes(data)


def midi_file():
    track = track_data()
    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, TICKS_PER_QUARTER)
    return header + b"MTrk" + struct.pack(">I", len(track)) + track


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "demo.mid")
    with open(out, "wb") as f:
        f.write(midi_file())
    print(f"wrote {out}")


if __name__ == "__main__":
    main()
