#!/usr/bin/env python3
"""Writes resources/alert.wav, the notification popups' chime.

Two soft bell tones a fifth apart (B5, then E6 over it), each with a quick attack and an
exponential decay, 16-bit mono at 22050 Hz. Run it again after changing a number here and
commit the result together with this script.
"""
import math
import struct
import sys
import wave
from pathlib import Path

RATE = 22050
LENGTH_S = 0.7
# (frequency in Hz, start in s, loudness 0..1)
TONES = [(987.77, 0.0, 0.45), (1318.51, 0.12, 0.40)]
DECAY_PER_S = 6.0
ATTACK_S = 0.004


def sample(t: float) -> float:
    value = 0.0
    for frequency, start, loudness in TONES:
        local = t - start
        if local < 0:
            continue
        envelope = min(1.0, local / ATTACK_S) * math.exp(-DECAY_PER_S * local)
        # A quiet octave above gives the tone a bell-like edge.
        value += loudness * envelope * (math.sin(2 * math.pi * frequency * local)
                                        + 0.25 * math.sin(4 * math.pi * frequency * local))
    return value


def main() -> int:
    target = Path(__file__).resolve().parent.parent / "resources" / "alert.wav"
    count = int(RATE * LENGTH_S)
    # The last 30 ms fade to silence so that the file ends without a click.
    fade = int(RATE * 0.03)
    frames = bytearray()
    for n in range(count):
        value = sample(n / RATE)
        if n >= count - fade:
            value *= (count - n) / fade
        frames += struct.pack("<h", max(-32767, min(32767, round(value * 32767 * 0.8))))
    with wave.open(str(target), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))
    print(f"wrote {target} ({count} frames)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
