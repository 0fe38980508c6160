#!/usr/bin/env python3
"""Draws the program's small icons and its notice sound. Run once; the
results are committed under resources/."""
import math, os, struct, zlib

root = os.path.join(os.path.dirname(__file__), '..', '..', 'resources')

def png(path, size, pixel):
    rows = b''
    for y in range(size):
        rows += b'\0' + b''.join(bytes(pixel(x, y)) for x in range(size))
    def chunk(tag, data):
        return struct.pack('>I', len(data)) + tag + data + struct.pack('>I', zlib.crc32(tag + data) & 0xffffffff)
    data = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
    data += chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b'')
    with open(path, 'wb') as f:
        f.write(data)

def badge(colour, glyph):
    def pixel(x, y):
        cx, cy = x - 15.5, y - 15.5
        r = math.hypot(cx, cy)
        if r > 15:
            return (0, 0, 0, 0)
        if glyph(x, y):
            return (255, 255, 255, 255)
        shade = 1.0 - r / 40
        return (int(colour[0] * shade), int(colour[1] * shade), int(colour[2] * shade), 255)
    return pixel

wave = lambda x, y: abs(y - (16 + 7 * math.sin((x - 4) / 24 * 2 * math.pi))) < 1.6 and 4 <= x <= 27
disc = lambda x, y: 2.5 < math.hypot(x - 15.5, y - 15.5) < 4 or 9 < math.hypot(x - 15.5, y - 15.5) < 10.2
colours = lambda x, y: any(math.hypot(x - a, y - b) < 4 for a, b in ((11, 12), (20, 12), (15.5, 20)))
page = lambda x, y: (9 <= x <= 22 and y in (7, 25)) or (x in (9, 22) and 7 <= y <= 25) or (12 <= x <= 19 and y in (12, 16, 20))
gear = lambda x, y: (5 < math.hypot(x - 15.5, y - 15.5) < 8) or (math.hypot(x - 15.5, y - 15.5) < 11 and abs(math.sin(4 * math.atan2(y - 15.5, x - 15.5))) > 0.8)
mic = lambda x, y: (math.hypot(x - 15.5, y - 11) < 4) or (abs(x - 15.5) < 1 and 15 <= y <= 24) or (11 <= x <= 20 and y == 24)
arrows = lambda x, y: (abs(y - 11) < 1.2 and 7 <= x <= 24) or (abs(y - 21) < 1.2 and 7 <= x <= 24) or abs((x - 24) + abs(y - 11)) < 1.2 and x <= 24 or abs((x - 7) - abs(y - 21)) < 1.2 and x >= 7

def scissors():
    """Open scissors on a clear ground, blades up: a picture that says "cut"
    and cannot be taken for a window's close box. Each pixel is the mean of
    4 x 4 samples, so the edges are smooth."""
    steel, edge, grip, pin = (200, 205, 214), (60, 64, 74), (226, 104, 28), (40, 42, 48)

    def blade(px, py, x0, y0, x1, y1):
        # Distance to the segment, against a width that tapers to the tip.
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / (dx * dx + dy * dy)))
        d = math.hypot(px - (x0 + t * dx), py - (y0 + t * dy))
        width = 2.3 - 1.9 * t
        return 'fill' if d < width else 'edge' if d < width + 0.9 else None

    def sample(px, py):
        r = math.hypot(px - 16, py - 15.1)
        if r < 1.3:
            return pin
        for cx in (9.0, 23.0):
            ring = math.hypot(px - cx, py - 24.0)
            if 2.6 < ring < 4.4:
                return grip
            if 4.4 <= ring < 5.3 or 1.8 < ring <= 2.6:
                return edge
        # The blade lying on top is drawn first.
        for x0, x1 in ((12.0, 25.5), (20.0, 6.5)):
            part = blade(px, py, x0, 20.5, x1, 3.5)
            if part:
                return steel if part == 'fill' else edge
        return None

    def pixel(x, y):
        hits = [sample(x + (i + 0.5) / 4, y + (j + 0.5) / 4) for i in range(4) for j in range(4)]
        drawn = [h for h in hits if h]
        if not drawn:
            return (0, 0, 0, 0)
        mean = [round(sum(c[k] for c in drawn) / len(drawn)) for k in range(3)]
        return (mean[0], mean[1], mean[2], round(255 * len(drawn) / len(hits)))
    return pixel

icons = {
    'AAA': ((40, 110, 200), wave), 'systrayicon': ((40, 110, 200), wave),
    'CD_MUSIC': ((120, 60, 170), disc), 'COLORS': ((200, 120, 30), colours),
    'DOCUMENT_MUSIC': ((40, 140, 90), page),
    'DOCUMENT_PULSE': ((30, 130, 150), wave), 'GEARS': ((90, 90, 100), gear),
    'MICROPHONE2': ((170, 60, 110), mic), 'REPLACE2': ((60, 120, 60), arrows),
}
os.makedirs(os.path.join(root, 'icons'), exist_ok=True)
for name, (colour, glyph) in icons.items():
    png(os.path.join(root, 'icons', name + '.png'), 32, badge(colour, glyph))
png(os.path.join(root, 'icons', 'CUT.png'), 32, scissors())

# A short two-note chime, 16-bit mono 22050 Hz.
rate, samples = 22050, []
for i, f in enumerate((880.0, 1320.0)):
    for n in range(int(rate * 0.18)):
        env = math.exp(-n / (rate * 0.06))
        samples.append(int(12000 * env * math.sin(2 * math.pi * f * n / rate)))
data = struct.pack('<%dh' % len(samples), *samples)
os.makedirs(os.path.join(root, 'sound'), exist_ok=True)
with open(os.path.join(root, 'sound', 'notify.wav'), 'wb') as f:
    f.write(b'RIFF' + struct.pack('<I', 36 + len(data)) + b'WAVEfmt ' + struct.pack('<IHHIIHH', 16, 1, 1, rate, rate * 2, 2, 16) + b'data' + struct.pack('<I', len(data)) + data)
