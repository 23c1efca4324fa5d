#!/usr/bin/python3
# Character error rate of recognised text against the expected text, whitespace ignored:
# edit distance / expected length, printed with 4 decimals.
#   cer.py EXPECTED.txt ACTUAL.txt
import sys


def distance(a, b):
    previous = list(range(len(b) + 1))
    for i, ca in enumerate(a, 1):
        current = [i]
        for j, cb in enumerate(b, 1):
            current.append(min(previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (ca != cb)))
        previous = current
    return previous[-1]


def text(path):
    with open(path, encoding="utf-8") as f:
        return "".join(f.read().split())


if __name__ == "__main__":
    expected, actual = text(sys.argv[1]), text(sys.argv[2])
    print("%.4f" % (distance(expected, actual) / max(1, len(expected))))
