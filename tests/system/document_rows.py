#!/usr/bin/python3
# Checks a long capture against the document it was taken of, row by row.
#   document_rows.py RESULT SHOT...
# SHOTs are screenshots of the region taken while the window scrolled from the document's start
# to its end, each overlapping the one before by more than a few lines. The result must hold
# exactly the rows they saw: every line once, in order, as drawn.
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


def main():
    result, shots = sys.argv[1], sys.argv[2:]
    width, document = rows(shots[0])
    height = len(document)
    for path in shots[1:]:
        w, screen = rows(path)
        if w != width or len(screen) != height:
            sys.exit(f"{path} is {w}x{len(screen)}, not {width}x{height}")
        # The smallest shift that lines the new screen up with the end of the document so far.
        shift = next((d for d in range(height) if document[len(document) - height + d:] ==
                      screen[:height - d]), None)
        if shift is None:
            sys.exit(f"{path} does not continue the screen before it")
        document += screen[height - shift:]
    expected = document
    w, got = rows(result)
    if w != width:
        sys.exit(f"the result is {w} wide, the region {width}")
    for i in range(min(len(got), len(expected))):
        if got[i] != expected[i]:
            where = next((j for j, row in enumerate(document) if row == got[i]), None)
            sys.exit(f"row {i} of {len(got)} differs from the document's row {i}"
                     f" (it is the document's row {where})")
    if len(got) != len(expected):
        sys.exit(f"the result has {len(got)} rows, the document {len(expected)}")
    print(f"{width}x{len(got)} pixels, the document's rows, each once and in order")


main()
