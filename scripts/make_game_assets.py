#!/usr/bin/env python3
"""Writes the assets of the carried game into payload/assets: sprite sheets and animation strips
(PNG), sound effects (WAV) and the music (a four-channel tracker module). Everything is computed
from fixed seeds, so running it again gives the same bytes. Only the standard library is used.

    python3 scripts/make_game_assets.py [OUTPUT_DIR]
"""
import math
import os
import random
import struct
import sys
import wave
import zlib

OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "payload", "assets")


# ---------------------------------------------------------------------------------------------
# Pictures. Black (0, 0, 0) is the mask colour of the game's images, so sprites use it only
# where they are transparent.

class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[(0, 0, 0)] * width for _ in range(height)]

    def set(self, x, y, colour):
        x, y = int(x), int(y)
        if 0 <= x < self.width and 0 <= y < self.height:
            value = tuple(max(0, min(255, int(c))) for c in colour)
            if value == (0, 0, 0) and tuple(colour) != (0, 0, 0):
                value = (1, 1, 1)  # a very dark colour must not turn transparent
            self.pixels[y][x] = value

    def get(self, x, y):
        return self.pixels[y][x]

    def polygon(self, points, colour, ox=0, oy=0):
        """Fills the polygon (even-odd rule, pixel centres)."""
        ys = [p[1] for p in points]
        for y in range(max(0, int(min(ys))), min(self.height, int(max(ys)) + 1)):
            cy = y + 0.5
            xs = []
            for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
                if (y0 <= cy < y1) or (y1 <= cy < y0):
                    xs.append(x0 + (cy - y0) * (x1 - x0) / (y1 - y0))
            xs.sort()
            for a, b in zip(xs[::2], xs[1::2]):
                for x in range(int(math.ceil(a - 0.5)), int(math.floor(b - 0.5)) + 1):
                    self.set(x + ox, y + oy, colour)

    def disc(self, cx, cy, r, colour):
        for y in range(int(cy - r - 1), int(cy + r + 2)):
            for x in range(int(cx - r - 1), int(cx + r + 2)):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.set(x, y, colour)

    def paste(self, other, dx, dy):
        for y in range(other.height):
            for x in range(other.width):
                c = other.get(x, y)
                if c != (0, 0, 0):
                    self.set(dx + x, dy + y, c)


def save_png(canvas, name):
    raw = b"".join(b"\x00" + bytes(v for px in row for v in px) for row in canvas.pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 2, 0, 0, 0)
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def shade(colour, factor):
    return tuple(min(255, c * factor) for c in colour)


def ship(hull, frame):
    """A 32 x 32 ship pointing up; the frame sets the length of the engine flame."""
    c = Canvas(32, 32)
    flame = [(255, 240, 120), (255, 160, 40), (220, 60, 20)]
    length = [5, 8, 6, 9][frame]
    for i, colour in enumerate(flame):
        w = 3 - i
        c.polygon([(16 - w, 25), (16 + w, 25), (16, 25 + length - i * 2)], colour)
    c.polygon([(16, 1), (21, 12), (22, 26), (10, 26), (11, 12)], shade(hull, 0.8))
    c.polygon([(16, 1), (19, 12), (19, 24), (16, 25)], hull)
    c.polygon([(10, 13), (1, 24), (2, 28), (11, 24)], shade(hull, 0.6))
    c.polygon([(22, 13), (31, 24), (30, 28), (21, 24)], shade(hull, 0.6))
    c.polygon([(2, 22), (1, 28), (3, 28)], (240, 240, 255))
    c.polygon([(30, 22), (31, 28), (29, 28)], (240, 240, 255))
    c.polygon([(16, 7), (18, 12), (16, 15), (14, 12)], (180, 240, 255))
    c.set(15, 9, (255, 255, 255))
    return c


def alien(body, frame, kind):
    """A 32 x 24 alien; its legs swing and its eyes blink across the four frames."""
    c = Canvas(32, 24)
    swing = [-2, 0, 2, 0][frame]
    dark = shade(body, 0.55)
    for side in (-1, 1):
        for leg in (0, 1):
            x0 = 16 + side * (6 + leg * 6)
            c.polygon([(x0 - 1, 12), (x0 + 1, 12), (x0 + side * 3 + swing, 22),
                       (x0 + side * 3 + swing - 2, 22)], dark)
    if kind == 0:
        c.polygon([(4, 12), (9, 4), (23, 4), (28, 12), (23, 17), (9, 17)], body)
        c.polygon([(9, 4), (23, 4), (20, 1), (12, 1)], shade(body, 1.3))
    else:
        c.polygon([(16, 0), (29, 9), (24, 18), (8, 18), (3, 9)], body)
        c.polygon([(16, 0), (22, 5), (10, 5)], shade(body, 1.35))
    eye = (255, 255, 255) if frame != 3 else shade(body, 0.8)
    for ex in (11, 20):
        c.disc(ex + 0.5, 10, 2.6, eye)
        if frame != 3:
            c.disc(ex + 0.5 + swing * 0.4, 10.5, 1.2, (200, 20, 40))
    return c


def asteroid(seed, radius):
    rng = random.Random(seed)
    size = int(radius * 2 + 4)
    c = Canvas(size, size)
    centre = size / 2
    points = []
    for i in range(14):
        a = i / 14 * 2 * math.pi
        r = radius * rng.uniform(0.72, 1.0)
        points.append((centre + math.cos(a) * r, centre + math.sin(a) * r))
    c.polygon(points, (120, 104, 92))
    # Light from the upper left: brighten towards it, darken away from it.
    for y in range(size):
        for x in range(size):
            px = c.get(x, y)
            if px != (0, 0, 0):
                light = 1.25 - ((x - centre) * 0.7 + (y - centre) * 0.7) / radius * 0.45
                c.set(x, y, shade(px, light))
    for _ in range(7):
        a = rng.uniform(0, 2 * math.pi)
        d = rng.uniform(radius * 0.15, radius * 0.6)
        r = rng.uniform(radius * 0.1, radius * 0.22)
        cx, cy = centre + math.cos(a) * d, centre + math.sin(a) * d
        c.disc(cx, cy, r, (70, 60, 56))
        c.disc(cx + r * 0.25, cy + r * 0.25, r * 0.6, (96, 84, 76))
    return c


def explosion(frame, frames):
    """A fireball that swells, burns out from the middle and leaves sparks and smoke."""
    c = Canvas(32, 32)
    t = frame / (frames - 1)
    rng = random.Random(7)
    bumps = [rng.uniform(-0.18, 0.18) for _ in range(16)]
    palette = [(255, 255, 220), (255, 230, 110), (255, 160, 50), (230, 80, 30), (150, 50, 40),
               (90, 70, 70)]
    outer = 4 + 11 * math.sqrt(t)
    hole = max(0.0, (t - 0.4) / 0.6) * outer * 0.95
    for y in range(32):
        for x in range(32):
            dx, dy = x + 0.5 - 16, y + 0.5 - 16
            angle = (math.atan2(dy, dx) / (2 * math.pi) + 0.5) * 16
            d = math.hypot(dx, dy) * (1 + bumps[int(angle) % 16])
            if hole <= d < outer:
                shade_index = int(t * 3.2 + (d / outer) * 2.2)
                c.set(x, y, palette[min(len(palette) - 1, shade_index)])
    for _ in range(18):
        a = rng.uniform(0, 2 * math.pi)
        d = 15 * t * rng.uniform(0.6, 1.0) + 2
        c.set(16 + math.cos(a) * d, 16 + math.sin(a) * d, (255, int(230 - 150 * t), 80))
    return c


def make_pictures():
    sheet = Canvas(128, 64)
    for frame in range(4):
        sheet.paste(ship((90, 200, 255), frame), frame * 32, 0)
        sheet.paste(ship((255, 150, 70), frame), frame * 32, 32)
    save_png(sheet, "ship.png")

    sheet = Canvas(128, 48)
    for frame in range(4):
        sheet.paste(alien((110, 230, 90), frame, 0), frame * 32, 0)
        sheet.paste(alien((235, 90, 220), frame, 1), frame * 32, 24)
    save_png(sheet, "aliens.png")

    save_png(asteroid(11, 20), "rock.png")

    sheet = Canvas(256, 32)
    for frame in range(8):
        sheet.paste(explosion(frame, 8), frame * 32, 0)
    save_png(sheet, "boom.png")

    # Shots: the player's laser bolt (4 x 12), the aliens' plasma ball (8 x 8), two frames each.
    sheet = Canvas(24, 12)
    for frame in range(2):
        glow = [(120, 255, 255), (200, 255, 255)][frame]
        sheet.polygon([(1, 1), (3, 1), (3, 11), (1, 11)], (40, 160, 255), frame * 4)
        sheet.polygon([(1.5, 0), (2.5, 0), (2.5, 12), (1.5, 12)], glow, frame * 4)
        ball = Canvas(8, 8)
        ball.disc(4, 4, 3.6, (255, 80, 40))
        ball.disc(4 - frame * 0.5, 4 - frame * 0.5, 2.0, (255, 220, 120))
        sheet.paste(ball, 8 + frame * 8, 0)
    save_png(sheet, "shots.png")

    # The power-up: a capsule with a "3" that turns, four frames of 16 x 16.
    sheet = Canvas(64, 16)
    for frame in range(4):
        w = [7, 5, 2, 5][frame]
        cap = Canvas(16, 16)
        cap.polygon([(8 - w, 2), (8 + w, 2), (8 + w, 14), (8 - w, 14)], (250, 210, 60))
        cap.polygon([(8 - w, 2), (8 + w, 2), (8 + w, 5), (8 - w, 5)], (255, 250, 180))
        if w >= 5:
            for y, xs in enumerate(["###", "  #", " ##", "  #", "###"]):
                for x, ch in enumerate(xs):
                    if ch == "#":
                        cap.set(7 + x - 1, 6 + y, (120, 40, 10))
        sheet.paste(cap, frame * 16, 0)
    save_png(sheet, "bonus.png")

    # A ringed planet that drifts by behind the stars.
    c = Canvas(96, 96)
    for y in range(96):
        for x in range(96):
            dx, dy = (x + 0.5 - 48) / 34, (y + 0.5 - 48) / 34
            if dx * dx + dy * dy <= 1:
                dz = math.sqrt(1 - dx * dx - dy * dy)
                light = max(0.15, -0.5 * dx - 0.6 * dy + 0.6 * dz)
                band = 0.8 + 0.2 * math.sin(dy * 11 + math.sin(dx * 3))
                c.set(x, y, (int(200 * light * band) + 8, int(120 * light * band) + 8,
                             int(180 * light) + 20))
    for a in range(720):
        t = a / 720 * 2 * math.pi
        for r in (44, 46, 47):
            x, y = 48 + math.cos(t) * r, 48 + math.sin(t) * r * 0.28
            behind = math.sin(t) < 0 and (x - 48) ** 2 / 34 ** 2 + (y - 48) ** 2 / 34 ** 2 < 1
            if not behind:
                c.set(x, y, (210, 190, 150) if r != 46 else (150, 130, 110))
    save_png(c, "planet.png")


# ---------------------------------------------------------------------------------------------
# Sound effects: 22050 Hz, 16-bit mono.

RATE = 22050


def save_wav(samples, name):
    with wave.open(os.path.join(OUT, name), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(max(-1, min(1, s)) * 30000))
                               for s in samples))


def tone(seconds, freq, wave_shape, volume, rng=None):
    """Samples of an oscillator; freq and volume are functions of the time in seconds."""
    out, phase = [], 0.0
    for i in range(int(seconds * RATE)):
        t = i / RATE
        phase += freq(t) / RATE
        p = phase % 1.0
        if wave_shape == "square":
            s = 1.0 if p < 0.5 else -1.0
        elif wave_shape == "saw":
            s = 2 * p - 1
        elif wave_shape == "sine":
            s = math.sin(2 * math.pi * phase)
        else:
            s = rng.uniform(-1, 1)
        out.append(s * volume(t))
    return out


def low_pass(samples, amount):
    out, y = [], 0.0
    for s in samples:
        y += (s - y) * amount
        out.append(y)
    return out


def make_sounds():
    rng = random.Random(3)
    save_wav(tone(0.16, lambda t: 1800 - 9000 * t, "square", lambda t: 0.35 * (1 - t / 0.16)),
             "laser.wav")
    noise = tone(0.7, lambda t: 0, "noise", lambda t: math.exp(-t * 6), rng)
    thump = tone(0.7, lambda t: 90 - 60 * t, "sine", lambda t: 0.8 * math.exp(-t * 5))
    save_wav([a * 0.9 + b for a, b in zip(low_pass(noise, 0.12), thump)], "boom.wav")
    save_wav(low_pass(tone(0.09, lambda t: 0, "noise", lambda t: 0.8 * (1 - t / 0.09), rng),
                      0.5), "hit.wav")
    long_noise = low_pass(tone(1.6, lambda t: 0, "noise", lambda t: math.exp(-t * 2.2), rng),
                          0.07)
    fall = tone(1.6, lambda t: 520 * math.exp(-t * 1.8), "saw", lambda t: 0.3 * math.exp(-t))
    save_wav([a * 1.2 + b for a, b in zip(long_noise, fall)], "die.wav")
    notes = [523.25, 659.25, 783.99, 1046.5]
    save_wav(tone(0.4, lambda t: notes[min(3, int(t / 0.1))], "square",
                  lambda t: 0.25 * (1 - (t % 0.1) / 0.2)), "bonus.wav")
    notes = [392.0, 523.25, 659.25, 783.99, 659.25, 783.99]
    save_wav(tone(0.72, lambda t: notes[min(5, int(t / 0.12))], "saw",
                  lambda t: 0.22 * (1 - (t % 0.12) / 0.3)), "wave.wav")


# ---------------------------------------------------------------------------------------------
# Music: a ProTracker module ("M.K.", 31 samples, 4 channels) in A minor, Am-F-C-G.

PERIODS = [856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
           428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
           214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113]
NAMES = ["C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"]


def period(note):
    """'A-2' -> its period (octaves 1 to 3)."""
    return PERIODS[NAMES.index(note[:2]) + (int(note[2]) - 1) * 12]


def module_samples():
    rng = random.Random(5)
    cycle = 32  # one period of a looped waveform: played at C-2 it sounds C-4 (about 259 Hz)
    bass = [int(90 * (1 if i < cycle // 2 else -1) * (0.6 + 0.4 * abs(1 - 2 * i / cycle)))
            for i in range(cycle)]
    lead = [int(70 * (1 if i < cycle // 4 else -1)) for i in range(cycle)]
    pad = [int(60 * (2 * i / cycle - 1)) for i in range(cycle)]
    kick, phase = [], 0.0
    for i in range(2400):  # a sine falling from 160 Hz to 45 Hz, played at 8287 Hz (C-2)
        phase += (45 + 115 * math.exp(-i / 300)) / 8287
        kick.append(int(120 * math.sin(2 * math.pi * phase) * math.exp(-i / 900)))
    snare = [int(100 * rng.uniform(-1, 1) * math.exp(-i / 700)) for i in range(2400)]
    hat = [int(70 * rng.uniform(-1, 1) * math.exp(-i / 120)) for i in range(600)]
    return [("bass", bass, True), ("lead", lead, True), ("pad", pad, True),
            ("kick", kick, False), ("snare", snare, False), ("hat", hat, False)]


CHORDS = [("A-", True), ("F-", False), ("C-", False), ("G-", False)]


def pattern(melody, fill=False, speed=0):
    """64 rows of four channels over one round of the chords (a bar of 16 rows each): bass,
    melody (32 tokens of two rows: a note, '--' holds, '..' stops), arpeggiated chords, drums."""
    rows = [[(0, 0, 0, 0)] * 4 for _ in range(64)]
    for bar, (root, minor) in enumerate(CHORDS):
        arpeggio = 0x37 if minor else 0x47
        for step in range(8):
            octave = "2" if step % 4 == 3 else "1"
            rows[bar * 16 + step * 2][0] = (1, period(root + octave), 0xC, 44)
        rows[bar * 16][2] = (3, period(root + "2"), 0x0, arpeggio)
        for row in range(bar * 16 + 1, bar * 16 + 16):
            rows[row][2] = (0, 0, 0x0, arpeggio)
    for i, token in enumerate(melody.split()):
        if token == "..":
            rows[i * 2][1] = (0, 0, 0xC, 0)
        elif token != "--":
            rows[i * 2][1] = (2, period(token), 0xC, 40)
    if speed:
        rows[0][1] = (0, 0, 0xF, speed)
    for row in range(64):
        beat = row % 16
        if beat in (0, 10):
            rows[row][3] = (4, period("C-2"), 0xC, 64)
        elif beat in (4, 12):
            rows[row][3] = (5, period("C-2"), 0xC, 48)
        elif beat % 2 == 0:
            rows[row][3] = (6, period("C-3"), 0xC, 24 + (beat % 4) * 4)
        if fill and row >= 56:
            rows[row][3] = (5, period("D-2" if row % 2 else "C-2"), 0xC, 30 + (row - 56) * 4)
    data = b""
    for row in rows:
        for sample, per, effect, param in row:
            data += bytes([(sample & 0xF0) | (per >> 8), per & 0xFF,
                           ((sample & 0x0F) << 4) | effect, param])
    return data


def make_music():
    patterns = [
        pattern("-- " * 32, speed=5),
        pattern("A-2 -- C-3 -- E-3 -- A-3 -- A-3 -- G-3 -- F-3 -- C-3 -- "
                "E-3 -- G-3 -- C-3 -- E-3 -- D-3 -- B-2 -- G-2 -- B-2 --"),
        pattern("E-3 -- -- E-3 A-3 -- G-3 E-3 F-3 -- -- F-3 E-3 -- C-3 -- "
                "G-3 -- -- E-3 C-3 -- E-3 G-3 B-2 -- D-3 -- G-3 -- .. --"),
        pattern("A-3 -- -- -- G-3 -- E-3 -- F-3 -- -- -- E-3 -- C-3 -- "
                "E-3 -- G-3 -- C-3 -- G-2 -- D-3 -- -- B-2 D-3 -- G-3 --"),
        pattern("C-3 D-3 E-3 -- A-3 -- E-3 -- C-3 D-3 F-3 -- A-3 -- F-3 -- "
                "E-3 F-3 G-3 -- C-3 -- G-3 -- B-3 -- A-3 -- G-3 -- D-3 --", fill=True),
    ]
    order = [0, 1, 2, 1, 2, 3, 4, 3, 4]

    samples = module_samples()
    header = b"Tervex Star Volley".ljust(20, b"\0")
    for i in range(31):
        if i < len(samples):
            name, data, loop = samples[i]
            words = len(data) // 2
            header += name.encode().ljust(22, b"\0") + struct.pack(
                ">HBBHH", words, 0, 64, 0, words if loop else 1)
        else:
            header += b"\0" * 22 + struct.pack(">HBBHH", 0, 0, 0, 0, 1)
    header += bytes([len(order), 127]) + bytes(order).ljust(128, b"\0") + b"M.K."
    sample_data = b"".join(bytes(v & 0xFF for v in data) for _, data, _ in samples)
    with open(os.path.join(OUT, "music.mod"), "wb") as f:
        f.write(header + b"".join(patterns) + sample_data)


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    make_pictures()
    make_sounds()
    make_music()
