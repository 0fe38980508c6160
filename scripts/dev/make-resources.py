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
scissors = lambda x, y: abs(abs(x - 15.5) - abs(y - 15.5)) < 1.3 and math.hypot(x - 15.5, y - 15.5) < 10
colours = lambda x, y: any(math.hypot(x - a, y - b) < 4 for a, b in ((11, 12), (20, 12), (15.5, 20)))
page = lambda x, y: (9 <= x <= 22 and y in (7, 25)) or (x in (9, 22) and 7 <= y <= 25) or (12 <= x <= 19 and y in (12, 16, 20))
gear = lambda x, y: (5 < math.hypot(x - 15.5, y - 15.5) < 8) or (math.hypot(x - 15.5, y - 15.5) < 11 and abs(math.sin(4 * math.atan2(y - 15.5, x - 15.5))) > 0.8)
mic = lambda x, y: (math.hypot(x - 15.5, y - 11) < 4) or (abs(x - 15.5) < 1 and 15 <= y <= 24) or (11 <= x <= 20 and y == 24)
arrows = lambda x, y: (abs(y - 11) < 1.2 and 7 <= x <= 24) or (abs(y - 21) < 1.2 and 7 <= x <= 24) or abs((x - 24) + abs(y - 11)) < 1.2 and x <= 24 or abs((x - 7) - abs(y - 21)) < 1.2 and x >= 7

icons = {
    'AAA': ((40, 110, 200), wave), 'systrayicon': ((40, 110, 200), wave),
    'CD_MUSIC': ((120, 60, 170), disc), 'COLORS': ((200, 120, 30), colours),
    'CUT': ((190, 50, 50), scissors), 'DOCUMENT_MUSIC': ((40, 140, 90), page),
    'DOCUMENT_PULSE': ((30, 130, 150), wave), 'GEARS': ((90, 90, 100), gear),
    'MICROPHONE2': ((170, 60, 110), mic), 'REPLACE2': ((60, 120, 60), arrows),
}
os.makedirs(os.path.join(root, 'icons'), exist_ok=True)
for name, (colour, glyph) in icons.items():
    png(os.path.join(root, 'icons', name + '.png'), 32, badge(colour, glyph))

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
