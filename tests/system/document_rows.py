#!/usr/bin/python3
# Checks a long capture against the document it was taken of, row by row.
#   document_rows.py RESULT LIST
# LIST names, one per line, screenshots of the region taken while the window scrolled from the
# document's start to its end, each overlapping the one before by more than a few lines. The
# result must hold exactly the rows they saw: every line once, in order, as drawn.
#   document_rows.py --document LIST OUT
# writes the document those screenshots make (raw RGB rows) into OUT, to compare passes.
import subprocess
import sys


def rows(path):
    size = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True,
                          text=True, check=True).stdout.split()
    width, height = int(size[0]), int(size[1])
    data = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True,
                          check=True).stdout
    stride = width * 3
    return width, [data[i * stride:(i + 1) * stride] for i in range(height)]


def document(listing):
    with open(listing) as f:
        shots = [line.strip() for line in f if line.strip()]
    width, rows_so_far = rows(shots[0])
    height = len(rows_so_far)
    for path in shots[1:]:
        w, screen = rows(path)
        if w != width or len(screen) != height:
            sys.exit(f"{path} is {w}x{len(screen)}, not {width}x{height}")
        # The smallest shift that lines the new screen up with the end of the document so far.
        shift = next((d for d in range(height) if rows_so_far[len(rows_so_far) - height + d:] ==
                      screen[:height - d]), None)
        if shift is None:
            sys.exit(f"{path} does not continue the screen before it")
        rows_so_far += screen[height - shift:]
    return width, rows_so_far


def main():
    if sys.argv[1] == "--document":
        with open(sys.argv[3], "wb") as out:
            out.write(b"".join(document(sys.argv[2])[1]))
        return
    width, expected = document(sys.argv[2])
    w, got = rows(sys.argv[1])
    if w != width:
        sys.exit(f"the result is {w} wide, the region {width}")
    for i in range(min(len(got), len(expected))):
        if got[i] != expected[i]:
            where = next((j for j, row in enumerate(expected) if row == got[i]), None)
            sys.exit(f"row {i} of {len(got)} differs from the document's row {i}"
                     f" (it is the document's row {where})")
    if len(got) != len(expected):
        sys.exit(f"the result has {len(got)} rows, the document {len(expected)}")
    print(f"{width}x{len(got)} pixels, the document's rows, each once and in order")


main()
