"""Checks that marks landed at their places on a page of a PDF.

usage: pdf_marks.py PDF PAGE DPI TOLERANCE_MM < PLACES

PLACES has one mark a line: NAME X Y W H, inches from the paper's top-left corner (the mark's
ink, a filled shape). The page is rasterised with pdftoppm; for every mark the ink found in a
window around its place must have its centre within the tolerance of the place's centre and its
size within the tolerance plus one pixel of the place's size. Prints the worst distance; exits 1
naming every mark that is off, or missing.
"""
import os
import subprocess
import sys
import tempfile


def rasterise(pdf, page, dpi):
    with tempfile.TemporaryDirectory() as tmp:
        base = os.path.join(tmp, "page")
        subprocess.run(["pdftoppm", "-r", str(dpi), "-gray", "-f", str(page), "-l", str(page),
                        "-singlefile", pdf, base], check=True)
        data = open(base + ".pgm", "rb").read()
    # P5 <width> <height> <maxval> and one byte a pixel; pdftoppm writes no comments.
    fields = data.split(maxsplit=4)
    assert fields[0] == b"P5", "not a grey map"
    return int(fields[1]), int(fields[2]), fields[4]


DARK = bytes(1 if v < 128 else 0 for v in range(256))


def ink_box(width, height, pixels, left, top, right, bottom):
    left, top = max(left, 0), max(top, 0)
    right, bottom = min(right, width), min(height, bottom)
    box = None
    for y in range(top, bottom):
        row = pixels[y * width + left:y * width + right].translate(DARK)
        first = row.find(1)
        if first < 0:
            continue
        last = row.rfind(1)
        if box is None:
            box = [left + first, y, left + last, y]
        else:
            box = [min(box[0], left + first), box[1], max(box[2], left + last), y]
    return box


def main():
    pdf, page, dpi, tolerance = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), float(sys.argv[4])
    width, height, pixels = rasterise(pdf, page, dpi)
    reach = int(0.1 * dpi)  # other items stay outside the window: keep them that far apart
    worst, failures, count = 0.0, [], 0
    for line in sys.stdin:
        if not line.strip():
            continue
        name, x, y, w, h = line.split()
        x, y, w, h = float(x), float(y), float(w), float(h)
        count += 1
        box = ink_box(width, height, pixels, int(x * dpi) - reach, int(y * dpi) - reach,
                      int((x + w) * dpi) + reach, int((y + h) * dpi) + reach)
        if box is None:
            failures.append(f"{name}: no ink near ({x:.4f}, {y:.4f}) in")
            continue
        cx = (box[0] + box[2] + 1) / 2 / dpi
        cy = (box[1] + box[3] + 1) / 2 / dpi
        bw = (box[2] - box[0] + 1) / dpi
        bh = (box[3] - box[1] + 1) / dpi
        off = max(abs(cx - (x + w / 2)), abs(cy - (y + h / 2))) * 25.4
        size = max(abs(bw - w), abs(bh - h)) * 25.4 - 25.4 / dpi
        worst = max(worst, off)
        if off > tolerance or size > tolerance:
            failures.append(f"{name}: centre {off:.3f} mm off, size {bw:.4f} x {bh:.4f} in "
                            f"for {w:.4f} x {h:.4f} in (ink at {cx:.4f}, {cy:.4f} in)")
    print(f"{count} marks, worst centre {worst:.3f} mm off")
    for f in failures:
        print("  " + f, file=sys.stderr)
    sys.exit(1 if failures or count == 0 else 0)


if __name__ == "__main__":
    main()
