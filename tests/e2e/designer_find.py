#!/usr/bin/python3
# Finds things on a screenshot for the designer's end-to-end check (PPM in, numbers out).
#   designer_find.py label SHOT.ppm        -> "X Y W H" of the largest white area (the label)
#   designer_find.py ink SHOT.ppm X Y W H  -> "X Y W H" of the bounding box of the dark pixels
#                                             inside the given area
#   designer_find.py color SHOT.ppm R G B   -> "X Y W H" of the bounding box of the pixels of
#                                             exactly that colour ("0 0 0 0" when there is none)
import sys
from collections import deque


def read_ppm(path):
    with open(path, 'rb') as f:
        data = f.read()
    parts = []
    i = 0
    while len(parts) < 4:
        while data[i:i + 1].isspace():
            i += 1
        if data[i:i + 1] == b'#':
            while data[i:i + 1] != b'\n':
                i += 1
            continue
        j = i
        while not data[j:j + 1].isspace():
            j += 1
        parts.append(data[i:j])
        i = j
    assert parts[0] == b'P6' and parts[3] == b'255'
    w, h = int(parts[1]), int(parts[2])
    return w, h, data[i + 1:]


def white(px, w, x, y):
    o = 3 * (y * w + x)
    return px[o] == 255 and px[o + 1] == 255 and px[o + 2] == 255


def largest_white(w, h, px):
    seen = bytearray(w * h)
    best = None
    for y in range(0, h, 4):
        for x in range(0, w, 4):
            if seen[y * w + x] or not white(px, w, x, y):
                continue
            q = deque([(x, y)])
            seen[y * w + x] = 1
            n, x0, y0, x1, y1 = 0, x, y, x, y
            while q:
                cx, cy = q.popleft()
                n += 1
                x0, y0, x1, y1 = min(x0, cx), min(y0, cy), max(x1, cx), max(y1, cy)
                for nx, ny in ((cx + 1, cy), (cx - 1, cy), (cx, cy + 1), (cx, cy - 1)):
                    if 0 <= nx < w and 0 <= ny < h and not seen[ny * w + nx] and white(px, w, nx, ny):
                        seen[ny * w + nx] = 1
                        q.append((nx, ny))
            if best is None or n > best[0]:
                best = (n, x0, y0, x1, y1)
    _, x0, y0, x1, y1 = best
    return x0, y0, x1 - x0 + 1, y1 - y0 + 1


def dark(px, w, x, y):
    o = 3 * (y * w + x)
    return px[o] + px[o + 1] + px[o + 2] < 3 * 100


def ink_box(w, h, px, ax, ay, aw, ah):
    xs, ys = [], []
    for y in range(max(ay, 0), min(ay + ah, h)):
        for x in range(max(ax, 0), min(ax + aw, w)):
            if dark(px, w, x, y):
                xs.append(x)
                ys.append(y)
    if not xs:
        return 0, 0, 0, 0
    return min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1


def color_box(w, h, px, r, g, b):
    want = bytes((r, g, b))
    x0, y0, x1, y1 = w, h, -1, -1
    for y in range(h):
        row = px[3 * y * w:3 * (y + 1) * w]
        first = -1
        for x in range(0, w):
            if row[3 * x:3 * x + 3] == want:
                first = x
                break
        if first < 0:
            continue
        last = first
        for x in range(w - 1, first, -1):
            if row[3 * x:3 * x + 3] == want:
                last = x
                break
        x0, y0, x1, y1 = min(x0, first), min(y0, y), max(x1, last), max(y1, y)
    if x1 < 0:
        return 0, 0, 0, 0
    return x0, y0, x1 - x0 + 1, y1 - y0 + 1


if __name__ == '__main__':
    w, h, px = read_ppm(sys.argv[2])
    if sys.argv[1] == 'label':
        print(*largest_white(w, h, px))
    elif sys.argv[1] == 'color':
        print(*color_box(w, h, px, *map(int, sys.argv[3:6])))
    else:
        print(*ink_box(w, h, px, *map(int, sys.argv[3:7])))
