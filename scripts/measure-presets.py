#!/usr/bin/env python3
"""Renders every factory preset over veldranox-render's built-in demo and measures what a listener hears.

Writes docs/presets.md (the bank's table with the measurements) and docs/presets-overview.png (each
preset's output level over time). Standard library only. Usage, from the checkout after a release build:

    scripts/measure-presets.py [build/release/tools/render/veldranox-render]
"""
import array
import cmath
import math
import os
import re
import struct
import subprocess
import sys
import tempfile
import wave
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RENDER = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build/release/tools/render/veldranox-render")
RATE = 48000
GAP_SECONDS = 0.75   # the demo file's silence between the dry phrase and the processed one
TAIL_SECONDS = 12.0  # rendered after the input ends: longer than any preset rings
WINDOW = RATE // 20  # 50 ms windows for levels
# The peak delay-time swing at DRIFT 100, in ms: the sum of ModulatedDelay's oscillator depths (0.015 +
# 0.00075 + 0.00032 s), which DRIFT scales linearly.
WOBBLE_MS_AT_FULL_DRIFT = 16.07


def run(*args):
    return subprocess.run([RENDER, *args], check=True, capture_output=True, text=True).stdout


def bank():
    presets = []
    for line in run("--list-presets").splitlines()[1:]:
        m = re.match(r"^(.*?)\s+([\d.]+)\s+([\d.]+)\s+([\d.]+)\s+([\d.]+)  (.*)$", line)
        presets.append({"name": m.group(1), "values": [float(m.group(i)) for i in range(2, 6)],
                        "description": m.group(6)})
    return presets


def render_demo(folder, stem, *options):
    path = os.path.join(folder, stem + ".wav")
    run("--tail", str(TAIL_SECONDS), "--bits", "16", "-o", path, *options)
    with wave.open(path) as w:
        assert w.getframerate() == RATE and w.getsampwidth() == 2 and w.getnchannels() == 2
        samples = array.array("h", w.readframes(w.getnframes()))
    return [(samples[i] + samples[i + 1]) / 65536.0 for i in range(0, len(samples), 2)]  # mono mix


def rms(x):
    return math.sqrt(sum(v * v for v in x) / max(1, len(x)))


def db(v):
    return 20.0 * math.log10(max(v, 1e-12))


def window_levels(x):
    return [db(rms(x[i:i + WINDOW])) for i in range(0, len(x) - WINDOW + 1, WINDOW)]


def fft(x):
    n = len(x)
    if n == 1:
        return x
    even, odd = fft(x[0::2]), fft(x[1::2])
    tw = [cmath.exp(-2j * math.pi * k / n) * odd[k] for k in range(n // 2)]
    return [even[k] + tw[k] for k in range(n // 2)] + [even[k] - tw[k] for k in range(n // 2)]


def centroid(x):
    size, hop = 4096, 2048
    hann = [0.5 - 0.5 * math.cos(2 * math.pi * i / size) for i in range(size)]
    power = [0.0] * (size // 2)
    for start in range(0, len(x) - size + 1, hop):
        spectrum = fft([x[start + i] * hann[i] for i in range(size)])
        for k in range(size // 2):
            power[k] += abs(spectrum[k]) ** 2
    total = sum(power)
    return sum(k * RATE / size * p for k, p in enumerate(power)) / total if total > 0 else 0.0


def measure(processed, dry, dry_length, input_end):
    level = db(rms(processed[:dry_length])) - db(rms(dry[:dry_length]))
    levels = window_levels(processed)
    threshold = max(levels[: dry_length // WINDOW]) - 60.0
    last_loud = max(i for i, v in enumerate(levels) if v >= threshold)
    tail = (last_loud + 1) * WINDOW / RATE - input_end / RATE
    ends_inside = (last_loud + 1) * WINDOW < len(processed) - WINDOW
    tail_window = processed[input_end: input_end + 2 * RATE]
    return {"level": level, "tail": tail, "tail_complete": ends_inside, "centroid": centroid(tail_window),
            "levels": levels}


# A 5 x 7 pixel font for the picture's labels.
FONT = {
    "A": "01110100011000111111100011000110001", "B": "11110100011000111110100011000111110",
    "C": "01110100011000010000100001000101110", "D": "11110100011000110001100011000111110",
    "E": "11111100001000011110100001000011111", "F": "11111100001000011110100001000010000",
    "G": "01110100011000010111100011000101111", "H": "10001100011000111111100011000110001",
    "I": "01110001000010000100001000010001110", "J": "00111000100001000010000101001001100",
    "K": "10001100101010011000101001001010001", "L": "10000100001000010000100001000011111",
    "M": "10001110111010110101100011000110001", "N": "10001100011100110101100111000110001",
    "O": "01110100011000110001100011000101110", "P": "11110100011000111110100001000010000",
    "Q": "01110100011000110001101011001001101", "R": "11110100011000111110101001001010001",
    "S": "01111100001000001110000010000111110", "T": "11111001000010000100001000010000100",
    "U": "10001100011000110001100011000101110", "V": "10001100011000110001100010101000100",
    "W": "10001100011000110101101011010101010", "X": "10001100010101000100010101000110001",
    "Y": "10001100010101000100001000010000100", "Z": "11111000010001000100010001000011111",
    "0": "01110100011001110101110011000101110", "1": "00100011000010000100001000010001110",
    "2": "01110100010000100010001000100011111", "3": "11111000100010000010000011000101110",
    "4": "00010001100101010010111110001000010", "5": "11111100001111000001000011000101110",
    "6": "00110010001000011110100011000101110", "7": "11111000010001000100010000100001000",
    "8": "01110100011000101110100011000101110", "9": "01110100011000101111000010001001100",
    " ": "0" * 35, "-": "00000000000000011111000000000000000", ".": "00000000000000000000000000110001100",
    "S_": "0" * 35,
}


def write_png(path, width, height, pixels):
    raw = b"".join(b"\x00" + bytes(pixels[y * width:(y + 1) * width]) for y in range(height))
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def overview(path, rows, seconds):
    label_width, plot_width, row_height, top = 230, 660, 44, 30
    width, height = label_width + plot_width + 10, top + row_height * len(rows) + 10
    pixels = bytearray([255]) * (width * height)

    def text(x, y, s, shade=0):
        for n, ch in enumerate(s.upper()):
            glyph = FONT.get(ch, FONT[" "])
            for i, bit in enumerate(glyph):
                if bit == "1":
                    for dy in range(2):
                        for dx in range(2):
                            pixels[(y + (i // 5) * 2 + dy) * width + x + n * 12 + (i % 5) * 2 + dx] = shade

    floor_db = -90.0
    text(label_width, 6, "LEVEL 0 TO -90 DB OVER %d S. INPUT ENDS AT LINE" % seconds, 90)
    for r, (name, levels, input_end_s) in enumerate(rows):
        y0 = top + r * row_height
        text(6, y0 + 14, name)
        for x in range(plot_width):
            t = x / plot_width * seconds
            i = min(len(levels) - 1, int(t * RATE / WINDOW))
            v = max(floor_db, min(0.0, levels[i]))
            bar = int((v - floor_db) / -floor_db * (row_height - 6))
            for y in range(row_height - 4 - bar, row_height - 4):
                pixels[(y0 + y) * width + label_width + x] = 70
            if abs(t - input_end_s) < seconds / plot_width:
                for y in range(row_height - 4):
                    pixels[(y0 + y) * width + label_width + x] = 0
            pixels[(y0 + row_height - 3) * width + label_width + x] = 180
    write_png(path, width, height, pixels)


def main():
    presets = bank()
    with tempfile.TemporaryDirectory() as folder:
        # MELT 0 passes the dry signal through exactly: the demo's input, aligned like every render.
        dry_file = render_demo(folder, "dry", "--melt", "0")
        gap = int(GAP_SECONDS * RATE)
        dry_length = (len(dry_file) - gap - int(TAIL_SECONDS * RATE)) // 2
        dry = dry_file[-(dry_length + int(TAIL_SECONDS * RATE)):]
        input_end = max(i for i, v in enumerate(dry[:dry_length]) if v != 0.0) + 1
        results = []
        for p in presets:
            out = render_demo(folder, "p", "--preset", p["name"])
            processed = out[-len(dry):]
            m = measure(processed, dry, dry_length, input_end)
            m["wobble"] = p["values"][2] / 100.0 * WOBBLE_MS_AT_FULL_DRIFT
            results.append((p, m))
            print("%-18s level %+5.1f dB  tail %5.2f s%s  centroid %6.0f Hz  wobble %5.2f ms" % (
                p["name"], m["level"], m["tail"], "" if m["tail_complete"] else "+", m["centroid"], m["wobble"]),
                file=sys.stderr)

    # How alike two presets sound: distance over the four measures, each on a scale a listener hears.
    def features(m):
        return (m["level"] / 3.0, math.log2(max(m["tail"], 0.05)) / 0.5, math.log2(m["centroid"]) / 0.5,
                m["wobble"] / 3.0)
    for p, m in results:
        m["nearest"] = min(((math.dist(features(m), features(m2)), p2["name"]) for p2, m2 in results if p2 is not p))

    docs = os.path.join(ROOT, "docs")
    overview(os.path.join(docs, "presets-overview.png"),
             [(p["name"], m["levels"], input_end / RATE) for p, m in results], 4 + TAIL_SECONDS)

    names = [n.strip() for n in run("--list-presets").splitlines()[0].split()[1:5]]
    lines = [
        "# Factory presets",
        "",
        "The bank ships as VST3 preset files (in `~/.vst3/presets/Yrven/VELDRANOX/`) and an LV2 preset bundle",
        "(`~/.lv2/VELDRANOX-presets.lv2`), both written at build time from the one table in",
        "`Source/presets/FactoryPresets.h`; `veldranox-render --preset NAME` renders any of them.",
        "",
        "Measured by `scripts/measure-presets.py` over the renderer's built-in demo (48 kHz, the phrase then %g s"
        % TAIL_SECONDS,
        "of tail), mono sum of the output:",
        "",
        "- **Level**: RMS of the output against the input, over the phrase.",
        "- **Tail**: from the end of the input until the output stays 60 dB below its loudest 50 ms; a `+`",
        "  means it was still ringing when the render stopped.",
        "- **Centroid**: the spectral centroid of the first 2 s of tail: low is dark, high is bright.",
        "- **Wobble**: the peak swing of the delay time, DRIFT times the sum of the delay's oscillator depths",
        "  (16.07 ms at DRIFT 100); computed from the engine's constants, not measured from the audio.",
        "- **Nearest**: the preset that measures most alike, and how far: the distance over the four measures,",
        "  with 3 dB of level, half an octave of tail or centroid and 3 ms of wobble each counting 1. Below",
        "  about 1.5 two presets differ mostly in what these measures miss (ducking, saturation).",
        "",
        "| Preset | %s | Level | Tail | Centroid | Wobble | Nearest | What it does |" % " | ".join(names),
        "|---|---:|---:|---:|---:|---:|---:|---:|---:|---|---|",
    ]
    for p, m in results:
        lines.append("| %s | %s | %+.1f dB | %.1f s%s | %.0f Hz | %.1f ms | %s (%.1f) | %s |" % (
            p["name"], " | ".join("%g" % v for v in p["values"]), m["level"], m["tail"],
            "" if m["tail_complete"] else "+", m["centroid"], m["wobble"], m["nearest"][1], m["nearest"][0],
            p["description"]))
    lines += ["", "Each preset's output level over the demo, from 0 dB (top of a row) down to -90 dB:", "",
              "![Output level of each factory preset over the demo](presets-overview.png)", ""]
    with open(os.path.join(docs, "presets.md"), "w") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
