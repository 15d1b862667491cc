#!/usr/bin/env python3
# tools/make_sounds.py - synthesises the program's two sounds into
# data/Sounds: Click.wav (the key click) and Metronome.wav (a woodblock
# tick). 16-bit PCM, mono, 44100 Hz. Standard library only; deterministic,
# so running it again gives the same files.
#
#   python3 tools/make_sounds.py

import math
import os
import random
import struct
import wave

RATE = 44100
PEAK = 0.70  # about -3 dBFS: loud enough, never clipped
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, 'data', 'Sounds')


def seconds(n):
    return int(round(n * RATE))


def high_pass(samples, cutoff):
    """One-pole high-pass: removes the DC offset and low rumble."""
    rc = 1.0 / (2 * math.pi * cutoff)
    a = rc / (rc + 1.0 / RATE)
    out, prev_in, prev_out = [], 0.0, 0.0
    for x in samples:
        y = a * (prev_out + x - prev_in)
        out.append(y)
        prev_in, prev_out = x, y
    return out


def low_pass(samples, cutoff):
    """One-pole low-pass, to take the harshness off noise."""
    k = 1.0 - math.exp(-2 * math.pi * cutoff / RATE)
    out, y = [], 0.0
    for x in samples:
        y += k * (x - y)
        out.append(y)
    return out


def fades(samples, fade_in, fade_out):
    """Raised-cosine fades at both ends, so the sound starts and stops at 0."""
    n = len(samples)
    a, b = seconds(fade_in), seconds(fade_out)
    out = list(samples)
    for i in range(a):
        out[i] *= 0.5 - 0.5 * math.cos(math.pi * i / a)
    for i in range(b):
        out[n - 1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / b)
    out[0] = out[-1] = 0.0
    return out


def finish(samples, fade_in, fade_out):
    """No DC, faded ends, normalised to PEAK."""
    mean = sum(samples) / len(samples)
    samples = fades([s - mean for s in samples], fade_in, fade_out)
    # the fades move the mean a hair; take it out under the same window
    window = fades([1.0] * len(samples), fade_in, fade_out)
    offset = sum(samples) / sum(window)
    samples = [s - offset * w for s, w in zip(samples, window)]
    peak = max(abs(s) for s in samples)
    return [s * PEAK / peak for s in samples]


def click():
    """A crisp key click, 40 ms: a noise snap over a damped 'tock' of the
    key cap and a little low thump of the key bottoming out."""
    rnd = random.Random(1729)
    n = seconds(0.040)
    noise = high_pass(low_pass([rnd.uniform(-1, 1) for _ in range(n)], 9000), 1800)
    out = []
    for i in range(n):
        t = i / RATE
        snap = noise[i] * math.exp(-t / 0.0022)
        tock = (math.sin(2 * math.pi * 3150 * t) * math.exp(-t / 0.0035) * 0.55 +
                math.sin(2 * math.pi * 1720 * t + 0.7) * math.exp(-t / 0.0060) * 0.35)
        thump = math.sin(2 * math.pi * 190 * t) * math.exp(-t / 0.0075) * 0.30
        out.append(snap * 0.9 + tock + thump)
    return finish(high_pass(out, 60), 0.0004, 0.006)


def metronome():
    """A woodblock tick, 70 ms: a few inharmonic modes of a hollow block,
    the high ones dying first, struck with a short soft noise burst."""
    rnd = random.Random(42)
    n = seconds(0.070)
    modes = [  # frequency (Hz), level, decay time (s)
        (880.0, 1.00, 0.0200),
        (1870.0, 0.42, 0.0110),
        (2640.0, 0.30, 0.0075),
        (4410.0, 0.12, 0.0040),
    ]
    strike = low_pass([rnd.uniform(-1, 1) for _ in range(seconds(0.004))], 5000)
    out = []
    for i in range(n):
        t = i / RATE
        v = sum(level * math.sin(2 * math.pi * f * t) * math.exp(-t / decay)
                for f, level, decay in modes)
        if i < len(strike):
            v += strike[i] * 0.35 * math.exp(-t / 0.0012)
        out.append(v)
    return finish(high_pass(out, 80), 0.0005, 0.010)


def write_wav(path, samples):
    with wave.open(path, 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b''.join(struct.pack('<h', int(round(s * 32767))) for s in samples))


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, fn in (('Click.wav', click), ('Metronome.wav', metronome)):
        samples = fn()
        write_wav(os.path.join(OUT, name), samples)
        mean = sum(samples) / len(samples)
        print('%s: %.1f ms, peak %.3f, mean %.2e' %
              (name, 1000.0 * len(samples) / RATE, max(abs(s) for s in samples), mean))


if __name__ == '__main__':
    main()
