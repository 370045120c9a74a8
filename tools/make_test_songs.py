#!/usr/bin/env python3
"""Writes the engine's test songs under tests/data/.

engine_mix.mid exercises what playback must carry: tempo and time-signature
changes on the conductor track, a system-exclusive message at tick 0 and one
mid-song, running status, every kind of channel message, a port prefix of 0,
the sustain pedal, and a lyric. Run: python3 tools/make_test_songs.py
"""
import os
import struct

from make_songs import varlen

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, '..', 'tests', 'data')


def chunk(kind, data):
    return kind + struct.pack('>I', len(data)) + data


def meta(kind, payload):
    return bytes([0xFF, kind]) + varlen(len(payload)) + payload


def track(events):
    """events: (delta, bytes) in order; the end-of-track is added."""
    data = b''.join(varlen(d) + bytes(e) for d, e in events)
    return chunk(b'MTrk', data + b'\x00\xff\x2f\x00')


def engine_mix():
    division = 96
    conductor = track([
        (0, meta(0x03, b'Engine mix')),
        (0, b'\xf0\x05\x7e\x7f\x09\x01\xf7'),
        (0, b'\xff\x58\x04\x03\x02\x18\x08'),
        (0, b'\xff\x51\x03\x07\xa1\x20'),          # 120 bpm
        (384, b'\xff\x51\x03\x0a\x2c\x2a'),        # 90 bpm (666666 us)
        (288, b'\xff\x58\x04\x06\x03\x18\x08'),    # 6/8
        (480, meta(0x01, b'end')),
    ])
    lead = track([
        (0, b'\xc0\x0b'), (0, b'\x90\x3c\x64'), (48, b'\x3c\x00'), (0, b'\x3e\x64'),   # running status
        (48, b'\x80\x3e\x40'), (0, b'\xe0\x00\x50'), (24, b'\xd0\x30'), (24, b'\x20'),   # bend, pressure
        (0, b'\xa0\x40\x10'), (96, b'\x90\x40\x50'), (96, b'\x90\x40\x00'),
        (200, b'\xf0\x03\x43\x10\xf7'),                                                 # mid-song sysex
        (0, b'\x90\x43\x60'), (10, b'\x43\x00'),
    ])
    accompaniment = track([
        (0, b'\xff\x21\x01\x00'), (0, b'\xc1\x00'), (0, b'\xb1\x07\x64'),
        (0, meta(0x05, b'hel lo wor ld')),
        (0, b'\x91\x30\x40'), (0, b'\xb1\x40\x7f'), (96, b'\x81\x30\x00'), (0, b'\xb1\x40\x00'),
        (100, b'\x91\x32\x40'), (300, b'\x32\x00'), (5, b'\xc1\x05'), (0, b'\x07'),
    ])
    data = chunk(b'MThd', struct.pack('>HHH', 1, 3, division)) + conductor + lead + accompaniment
    with open(os.path.join(OUT, 'engine_mix.mid'), 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    os.makedirs(OUT, exist_ok=True)
    engine_mix()
