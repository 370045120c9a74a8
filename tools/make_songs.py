#!/usr/bin/env python3
"""Writes the bundled songs under assets/songs/ as Standard MIDI Files.

Each song is format 1: track 0 the conductor (title as its sequence name,
time signature, tempo), track 1 the melody that TRAINING and GAME follow,
track 2 the chords with the lyric events (one phrase each, one word or
syllable per melody note, separated by spaces), track 3 the bass. The tunes
are traditional and in the public domain. Run it from anywhere:
    python3 tools/make_songs.py
"""
import os
import struct

DIVISION = 480
HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, '..', 'assets', 'songs')

NOTE = {'C': 0, 'D': 2, 'E': 4, 'F': 5, 'G': 7, 'A': 9, 'B': 11}


def pitch(name):
    """'C4' -> 60, 'F#3' -> 54, 'Bb4' -> 70."""
    base = NOTE[name[0]]
    rest = name[1:]
    while rest and rest[0] in '#b':
        base += 1 if rest[0] == '#' else -1
        rest = rest[1:]
    return 12 * (int(rest) + 1) + base


def varlen(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(out)


class Track:
    """Events at absolute ticks, written with delta times."""

    def __init__(self):
        self.events = []  # (tick, order, bytes)

    def add(self, tick, data, order=1):
        self.events.append((tick, order, bytes(data)))

    def meta(self, tick, kind, payload, order=0):
        self.add(tick, bytes([0xFF, kind]) + varlen(len(payload)) + payload, order)

    def note(self, tick, length, channel, key, velocity):
        self.add(tick, [0x90 | channel, key, velocity], 2)
        self.add(tick + length, [0x80 | channel, key, 0], 0)

    def chunk(self):
        data = b''
        last = 0
        for tick, _, event in sorted(self.events, key=lambda e: (e[0], e[1])):
            data += varlen(tick - last) + event
            last = tick
        data += varlen(0) + b'\xFF\x2F\x00'
        return b'MTrk' + struct.pack('>I', len(data)) + data


def write_song(path, title, encoding, numerator, tempos, melody, phrases, chords, programs):
    """melody: list of (note name or None for a rest, beats).
    phrases: lists of syllables, one per melody note, in order.
    chords: one chord (list of note names) per measure.
    tempos: list of (beat, bpm)."""
    beat = DIVISION  # a quarter note
    conductor, lead, harmony, bass = Track(), Track(), Track(), Track()
    conductor.meta(0, 0x03, title.encode(encoding))
    conductor.meta(0, 0x58, bytes([numerator, 2, 24, 8]))
    for at, bpm in tempos:
        conductor.meta(int(at * beat), 0x51, struct.pack('>I', 60000000 // bpm)[1:])
    lead.meta(0, 0x03, b'Melody')
    harmony.meta(0, 0x03, b'Chords and lyrics')
    bass.meta(0, 0x03, b'Bass')
    for track, channel, program in ((lead, 0, programs[0]), (harmony, 1, programs[1]), (bass, 2, programs[2])):
        track.add(0, [0xC0 | channel, program], 0)
        track.add(0, [0xB0 | channel, 7, 100], 0)

    syllables = [s for phrase in phrases for s in phrase]
    phrase_starts = []
    count = 0
    for phrase in phrases:
        phrase_starts.append(count)
        count += len(phrase)
    sung = sum(1 for key, _ in melody if key)
    assert sung == len(syllables), f'{title}: {sung} notes, {len(syllables)} syllables'

    tick = 0
    index = 0
    for key, beats in melody:
        length = int(beats * beat)
        if key:
            if index in phrase_starts:
                words = ' '.join(phrases[phrase_starts.index(index)])
                harmony.meta(tick, 0x05, words.encode(encoding))
            lead.note(tick, length - 20, 0, pitch(key), 100)
            index += 1
        tick += length
    measure = numerator * beat
    for m, chord in enumerate(chords):
        start = m * measure
        if not chord:
            continue
        for key in chord:
            harmony.note(start, measure - 30, 1, pitch(key), 60)
        # Waltz time: root on the first beat; common time: root on 1 and 3.
        if numerator == 3:
            bass.note(start, beat - 20, 2, pitch(chord[0]) - 12, 80)
        else:
            bass.note(start, measure // 2 - 20, 2, pitch(chord[0]) - 12, 80)
            bass.note(start + measure // 2, measure // 2 - 20, 2, pitch(chord[0]) - 12, 70)

    data = b'MThd' + struct.pack('>IHHH', 6, 1, 4, DIVISION)
    for track in (conductor, lead, harmony, bass):
        data += track.chunk()
    with open(path, 'wb') as f:
        f.write(data)


def twinkle():
    line = lambda a, b, c, d, e, f, g: [(a, 1), (b, 1), (c, 1), (d, 1), (e, 1), (f, 1), (g, 2)]
    first = line('C4', 'C4', 'G4', 'G4', 'A4', 'A4', 'G4')
    second = line('F4', 'F4', 'E4', 'E4', 'D4', 'D4', 'C4')
    middle = line('G4', 'G4', 'F4', 'F4', 'E4', 'E4', 'D4')
    # One measure of accompaniment before the tune, so a player can come in.
    melody = [(None, 4)] + first + second + middle + middle + first + second
    phrases = [
        'Twin kle twin kle lit tle star'.split(), 'How I won der what you are'.split(),
        'Up a bove the world so high'.split(), 'Like a dia mond in the sky'.split(),
        'Twin kle twin kle lit tle star'.split(), 'How I won der what you are'.split(),
    ]
    C, F, G = ['C4', 'E4', 'G4'], ['F3', 'A3', 'C4'], ['G3', 'B3', 'D4']
    chords = [C] + [C, F, C, G] * 1 + [C, G] * 2 + [C, F, C, G]
    write_song(os.path.join(OUT, 'twinkle.mid'), 'Twinkle Twinkle Little Star', 'ascii', 4,
               [(0, 100), (44, 84)], melody, phrases, chords, (8, 0, 32))


def amazing_grace():
    # A waltz-time hymn: 3/4, one quarter of pickup.
    melody = [(None, 2), ('D4', 1),
              ('G4', 2), ('B4', 1), ('B4', 2), ('A4', 1), ('G4', 2), ('E4', 1), ('D4', 2), ('D4', 1),
              ('G4', 2), ('B4', 1), ('B4', 2), ('A4', 1), ('D5', 3), (None, 2), ('B4', 1),
              ('D5', 2), ('B4', 1), ('B4', 2), ('A4', 1), ('G4', 2), ('E4', 1), ('D4', 2), ('D4', 1),
              ('G4', 2), ('B4', 1), ('B4', 2), ('A4', 1), ('G4', 3)]
    phrases = ['A ma zing grace how sweet the sound'.split(), 'that saved a wretch like me'.split(),
               'I once was lost but now am found'.split(), 'was blind but now I see'.split()]
    G, C, D, Em = ['G3', 'B3', 'D4'], ['C4', 'E4', 'G4'], ['D4', 'F#4', 'A4'], ['E3', 'G3', 'B3']
    chords = [None, G, G, C, G, G, Em, D, D, G, G, C, G, Em, D, G]
    write_song(os.path.join(OUT, 'amazing_grace.mid'), 'Amazing Grace (waltz time)', 'ascii', 3,
               [(0, 90)], melody, phrases, chords, (73, 48, 32))


def sakura():
    melody = [(None, 4),  # a measure of accompaniment first
              ('A4', 1), ('A4', 1), ('B4', 2), ('A4', 1), ('A4', 1), ('B4', 2),
              ('A4', 1), ('B4', 1), ('C5', 1), ('B4', 1), ('A4', 1), ('B4', 1), ('F4', 2),
              ('E4', 1), ('C4', 1), ('E4', 1), ('F4', 1), ('E4', 1), ('E4', 1), ('B3', 2),
              ('A4', 1), ('B4', 1), ('C5', 1), ('B4', 1), ('A4', 1), ('B4', 1), ('F4', 2),
              ('E4', 1), ('C4', 1), ('E4', 1), ('F4', 1), ('E4', 1), ('C4', 1), ('B3', 2),
              ('A4', 1), ('A4', 1), ('B4', 2), ('A4', 1), ('A4', 1), ('B4', 2),
              ('E4', 1), ('F4', 1), ('B4', 1), ('F4', 1), ('E4', 4)]
    phrases = ['さ く ら さ く ら'.split(), 'や よ い の そ ら は'.split(), 'み わ た す か ぎ り'.split(),
               'か す み か く も か'.split(), 'に お い ぞ い ず る'.split(), 'い ざ や い ざ や'.split(),
               'み に ゆ か ん'.split()]
    Am, Dm, E = ['A3', 'C4', 'E4'], ['D4', 'F4', 'A4'], ['E3', 'B3', 'E4']
    chords = [Am, Am, Am, Am, Dm, E, E, Am, Dm, E, E, Am, Am, Dm, E]
    write_song(os.path.join(OUT, 'sakura.mid'), 'さくらさくら', 'cp932', 4,
               [(0, 76)], melody, phrases, chords, (107, 49, 32))


if __name__ == '__main__':
    os.makedirs(OUT, exist_ok=True)
    twinkle()
    amazing_grace()
    sakura()
