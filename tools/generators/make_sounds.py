#!/usr/bin/python3
"""Synthesizes the game's five sounds into res/WAVE/ (16-bit PCM, 44100 Hz).

  TICK    0.17 s  mono    a letter was uncovered: bright, short click-tone
  TUCK    0.32 s  stereo  second tick: soft, lower wooden tock, slightly wide
  ERROR   0.29 s  mono    time-out: low buzzer sliding downwards
  CLING1  0.63 s  mono    left player stopped the clock: high bell strike
  CLING2  0.77 s  mono    right player stopped the clock: lower bell strike

They are played often and loud in a hall, so every sound starts from silence with a short
raised-cosine attack and ends in silence with a fade-out: no clicks at either end. The only
randomness (the tock's knock) comes from a fixed seed, so every run writes the same bytes.
"""

import math
import random
import struct
import wave
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
RATE = 44100


def sample_count(seconds):
    return round(seconds * RATE)


def envelope(n, index, attack, release):
    """Raised-cosine attack and release around a flat middle, in samples."""
    gain = 1.0
    if index < attack:
        gain *= 0.5 - 0.5 * math.cos(math.pi * index / attack)
    remaining = n - 1 - index
    if remaining < release:
        gain *= 0.5 - 0.5 * math.cos(math.pi * remaining / release)
    return gain


def partials(seconds, tones, attack_ms, release_ms):
    """A sum of decaying sines: tones are (frequency, amplitude, decay time constant in s)."""
    n = sample_count(seconds)
    attack = max(1, round(attack_ms * RATE / 1000))
    release = max(1, round(release_ms * RATE / 1000))
    out = []
    for i in range(n):
        t = i / RATE
        value = sum(a * math.exp(-t / tau) * math.sin(2 * math.pi * f * t) for f, a, tau in tones)
        out.append(value * envelope(n, i, attack, release))
    return out


def normalise(samples, peak):
    top = max(abs(s) for s in samples) or 1.0
    return [s * peak / top for s in samples]


def tick():
    # A high G with a touch of its octave and an inharmonic glint: reads as a crisp "tick".
    return normalise(partials(0.17, [(1568.0, 1.0, 0.030),
                                     (3136.0, 0.30, 0.015),
                                     (4980.0, 0.12, 0.008)], 1.5, 25), 0.55)


def tuck():
    # A wood block: a low body mode, a few inharmonic overtones dying fast, and a brief
    # low-passed knock. The right channel is a hair lower and later, which widens it softly.
    rng = random.Random(1766)
    n = sample_count(0.32)
    knock = []
    level = 0.0
    for i in range(n):
        level += 0.18 * (rng.uniform(-1.0, 1.0) - level)  # one-pole low-pass
        knock.append(level * math.exp(-i / (0.004 * RATE)))
    channels = []
    for detune, delay in ((1.0, 0), (0.985, 18)):
        body = partials(0.32, [(520.0 * detune, 1.0, 0.045),
                               (1390.0 * detune, 0.35, 0.018),
                               (2310.0 * detune, 0.12, 0.009)], 1.0, 40)
        body = [0.0] * delay + body[:n - delay]
        channels.append([b + 2.5 * k for b, k in zip(body, knock)])
    attack, release = 40, round(0.040 * RATE)
    channels = [[s * envelope(n, i, attack, release) for i, s in enumerate(c)] for c in channels]
    top = max(abs(s) for c in channels for s in c)
    return [[s * 0.42 / top for s in c] for c in channels]


def error():
    # A buzzer gliding from 210 Hz to 130 Hz: odd harmonics up to 3.5 kHz, falling off with
    # their number so that it growls without rasping.
    seconds = 0.29
    n = sample_count(seconds)
    attack, release = round(0.008 * RATE), round(0.060 * RATE)
    phase = 0.0
    out = []
    for i in range(n):
        t = i / seconds / RATE
        frequency = 210.0 * (130.0 / 210.0) ** t
        phase += 2 * math.pi * frequency / RATE
        value = 0.0
        harmonic = 1
        while harmonic * frequency < 3500.0:
            value += math.sin(harmonic * phase) / harmonic ** 1.3
            harmonic += 2
        out.append(value * envelope(n, i, attack, release))
    return normalise(out, 0.55)


def bell(seconds, fundamental):
    # Partials of a struck bell: hum, prime, minor third, fifth, octave and two upper ones,
    # the higher ones dying sooner.
    tones = [(fundamental * 0.5, 0.35, 0.45),
             (fundamental * 1.0, 1.00, 0.32),
             (fundamental * 1.19, 0.45, 0.22),
             (fundamental * 1.50, 0.30, 0.16),
             (fundamental * 2.00, 0.45, 0.12),
             (fundamental * 2.74, 0.20, 0.06),
             (fundamental * 3.76, 0.10, 0.035)]
    return normalise(partials(seconds, tones, 2.5, 90), 0.7)


SOUNDS = {
    "TICK": (0.17, 1, tick),
    "TUCK": (0.32, 2, tuck),
    "ERROR": (0.29, 1, error),
    "CLING1": (0.63, 1, lambda: bell(0.63, 1318.5)),   # E6
    "CLING2": (0.77, 1, lambda: bell(0.77, 987.8)),    # B5
}


def write_wave(path, channels, data):
    frames = data if channels == 2 else [data]
    n = len(frames[0])
    payload = bytearray()
    for i in range(n):
        for channel in frames:
            payload += struct.pack("<h", max(-32767, min(32767, round(channel[i] * 32767))))
    with wave.open(str(path), "wb") as out:
        out.setnchannels(channels)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(payload))


def check_wave(path, seconds, channels):
    with wave.open(str(path), "rb") as file:
        assert file.getframerate() == RATE and file.getsampwidth() == 2
        assert file.getnchannels() == channels
        assert file.getnframes() == sample_count(seconds), (path, file.getnframes())
        frames = file.readframes(file.getnframes())
    values = struct.unpack("<%dh" % (len(frames) // 2), frames)
    edge = values[:channels] + values[-channels:]
    assert all(abs(v) < 64 for v in edge), (path, edge)
    return file


def main():
    out_dir = ROOT / "res" / "WAVE"
    out_dir.mkdir(parents=True, exist_ok=True)
    for name, (seconds, channels, make) in SOUNDS.items():
        path = out_dir / (name + ".wav")
        write_wave(path, channels, make())
        check_wave(path, seconds, channels)
        print("%s.wav: %.2f s, %s" % (name, seconds, "stereo" if channels == 2 else "mono"))


if __name__ == "__main__":
    main()
