#!/usr/bin/python3
# Text recognition accuracy over a set made by bench/ocr_set.sh: every PNG is read with
# `tessal ocr`, compared with its TXT (whitespace ignored), and the character error rate is
# reported overall, on the real windows, on traditional text; characters of one script read as
# the other script's form (OpenCC decides which characters have another form) are counted.
#   ocr_accuracy.py TESSAL SET_DIR
import difflib
import glob
import os
import subprocess
import sys
import time


sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "system"))
from cer import distance  # noqa: E402  (one edit distance for the tests and the benchmark)


def squeeze(text):
    return "".join(text.split())


def convert(chars, config):
    """Each character's form in the other script; None without OpenCC (program or library)."""
    try:
        out = subprocess.run(["opencc", "-c", config], input="\n".join(chars),
                             capture_output=True, text=True).stdout.split("\n")
        return dict(zip(chars, out))
    except FileNotFoundError:
        pass
    try:  # the library the recognition worker uses, without its command-line program
        import ctypes
        lib = ctypes.CDLL("libopencc.so.1.1")
        lib.opencc_open.restype = ctypes.c_void_p
        lib.opencc_open.argtypes = [ctypes.c_char_p]
        lib.opencc_convert_utf8.restype = ctypes.c_void_p
        lib.opencc_convert_utf8.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_size_t]
        lib.opencc_convert_utf8_free.argtypes = [ctypes.c_void_p]
        handle = lib.opencc_open(config.encode())
        if not handle or handle == ctypes.c_void_p(-1).value:
            return None
        forms = {}
        for c in chars:
            raw = c.encode()
            p = lib.opencc_convert_utf8(handle, raw, len(raw))
            forms[c] = ctypes.string_at(p).decode() if p else c
            if p:
                lib.opencc_convert_utf8_free(p)
        return forms
    except OSError:
        return None


def main():
    tessal, folder = sys.argv[1], sys.argv[2]
    results = []
    for png in sorted(glob.glob(os.path.join(folder, "*.png"))):
        with open(png[:-4] + ".txt", encoding="utf-8") as f:
            expected = squeeze(f.read())
        start = time.monotonic()
        read = subprocess.run([tessal, "ocr", png], capture_output=True, text=True)
        seconds = time.monotonic() - start
        results.append((os.path.basename(png), expected, squeeze(read.stdout), seconds))

    chars = sorted({c for _, e, a, _ in results for c in e + a})
    to_simplified = convert(chars, "t2s.json")
    to_traditional = convert(chars, "s2t.json")

    def rate(subset):
        errors = sum(distance(e, a) for _, e, a, _ in subset)
        return errors / max(1, sum(len(e) for _, e, _, _ in subset))

    turned_simplified = traditional_chars = turned_traditional = simplified_chars = 0
    for name, expected, actual, _ in results if to_simplified and to_traditional else []:
        pairs = []
        for op, i1, i2, j1, j2 in difflib.SequenceMatcher(None, expected, actual).get_opcodes():
            if op == "equal" or (op == "replace" and i2 - i1 == j2 - j1):
                pairs += zip(expected[i1:i2], actual[j1:j2])
            elif op == "replace" or op == "delete":
                pairs += [(c, "") for c in expected[i1:i2]]
        for want, got in pairs:
            if to_simplified.get(want, want) != want:  # a traditional-only character
                traditional_chars += 1
                turned_simplified += got == to_simplified[want]
            if to_traditional.get(want, want) != want:  # a simplified-only character
                simplified_chars += 1
                turned_traditional += got == to_traditional[want]

    real = [r for r in results if r[0].startswith("real-")]
    traditional = [r for r in results if "traditional" in r[0]]
    print("images: %d (%d rendered, %d real windows), %d characters" %
          (len(results), len(results) - len(real), len(real), sum(len(e) for _, e, _, _ in results)))
    print("character error rate: all %.2f %%, real windows %.2f %%, traditional %.2f %%" %
          (100 * rate(results), 100 * rate(real), 100 * rate(traditional)))
    if not (to_simplified and to_traditional):
        print("script forms not counted: the opencc program is missing")
    else:
        print("traditional characters read as simplified: %.2f %% (%d of %d)" %
              (100 * turned_simplified / max(1, traditional_chars), turned_simplified,
               traditional_chars))
        print("simplified characters read as traditional: %.2f %% (%d of %d)" %
              (100 * turned_traditional / max(1, simplified_chars), turned_traditional,
               simplified_chars))
    worst = sorted(results, key=lambda r: -distance(r[1], r[2]) / max(1, len(r[1])))[:3]
    for name, e, a, s in worst:
        print("  worst: %s %.1f %% (%.2f s)" % (name, 100 * distance(e, a) / max(1, len(e)), s))


main()
