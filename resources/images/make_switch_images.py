# Draws the two field switches of the camera dialog (36 x 18 pixels, per-pixel alpha):
#   python3 make_switch_images.py   writes switch_on.png and switch_off.png here.
# switch_on.png belongs to the control that switches a field on, so it pictures the field as it
# is while that control shows: a grey switch, knob left. switch_off.png is the green one.
import zlib, struct, math
W, H, SS = 36, 18, 4
def png(path, pixels):
    raw = b''.join(b'\x00' + bytes(row) for row in pixels)
    def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
    data = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', W, H, 8, 6, 0, 0, 0)) \
         + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    open(path, 'wb').write(data)
def inside_pill(x, y, x0, y0, x1, y1):
    r = (y1 - y0) / 2.0; cy = (y0 + y1) / 2.0
    if x < x0 + r: return (x - (x0 + r))**2 + (y - cy)**2 <= r*r
    if x > x1 - r: return (x - (x1 - r))**2 + (y - cy)**2 <= r*r
    return y0 <= y <= y1
def render(on):
    track = (64, 160, 96) if on else (110, 110, 110)
    border = (40, 110, 64) if on else (80, 80, 80)
    knob = (245, 245, 245)
    kx = W - 9.5 if on else 9.5
    rows = []
    for py in range(H):
        row = []
        for px in range(W):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    x = px + (sx + 0.5) / SS; y = py + (sy + 0.5) / SS
                    col = None
                    if (x - kx)**2 + (y - 9)**2 <= 6.5**2: col = knob
                    elif inside_pill(x, y, 1.5, 2.5, W - 1.5, H - 2.5):
                        col = track
                    elif inside_pill(x, y, 0.5, 1.5, W - 0.5, H - 1.5):
                        col = border
                    if col:
                        acc[0] += col[0]; acc[1] += col[1]; acc[2] += col[2]; acc[3] += 1
            n = SS * SS; a = acc[3] / n
            if acc[3]:
                row += [int(acc[0] / acc[3]), int(acc[1] / acc[3]), int(acc[2] / acc[3]), int(round(a * 255))]
            else:
                row += [0, 0, 0, 0]
        rows.append(row)
    return rows
png('switch_on.png', render(False)); png('switch_off.png', render(True))
