#!/usr/bin/env python3
"""Fails when a user-visible text bypasses Qt's translation functions, or a shipped .ts file is
behind the sources (a text without translation, an unfinished one, or one that no longer exists).

  check-translations.py SOURCE_DIR LUPDATE

A string literal with Han characters in src/ must be an argument of tr(), translate(),
QT_TR_NOOP() or QT_TRANSLATE_NOOP(); a line that means to keep one (a stored value, a language's
own name) says so with a comment "// untranslated: <why>".
"""
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

HAN = re.compile(r"[\u3400-\u9fff\uf900-\ufaff]")
TRANSLATING = {"tr", "translate", "QT_TR_NOOP", "QT_TRANSLATE_NOOP", "QT_TR_N_NOOP",
               "QT_TRANSLATE_N_NOOP"}
LUPDATE_OPTIONS = ["-locations", "none", "-no-obsolete", "-silent"]


def literals(text):
    """(offset, body) of every string literal outside comments and character literals."""
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            i = text.find("\n", i)
            i = n if i < 0 else i
        elif text.startswith("/*", i):
            i = text.find("*/", i + 2)
            i = n if i < 0 else i + 2
        elif c == "R" and text.startswith('R"', i) and not (i and (text[i - 1].isalnum() or text[i - 1] == "_")):
            delim = text[i + 2:text.index("(", i)]
            end = text.index(")" + delim + '"', i)
            yield i, text[i:end]
            i = end + len(delim) + 2
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            if c == '"':
                yield i, text[i + 1:j]
            i = j + 1
        else:
            i += 1


def calling(text, offset):
    """The name of the call whose argument list holds `offset`."""
    depth = 0
    i = offset - 1
    while i >= 0:
        c = text[i]
        if c in ")]}":
            depth += 1
        elif c in "([{":
            if depth == 0:
                if c != "(":
                    return ""
                m = re.search(r"([A-Za-z_]\w*)\s*$", text[:i])
                return m.group(1) if m else ""
            depth -= 1
        elif c == ";" and depth == 0:
            return ""
        i -= 1
    return ""


def untranslated_texts(src):
    problems = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".cpp", ".h"):
            continue
        text = path.read_text(encoding="utf-8")
        lines = text.split("\n")
        for offset, body in literals(text):
            if not HAN.search(body):
                continue
            line = text.count("\n", 0, offset)
            if "// untranslated:" in lines[line]:
                continue
            if calling(text, offset) in TRANSLATING:
                continue
            problems.append(f"{path.relative_to(src.parent)}:{line + 1}: text outside the translation functions: \"{body}\"")
    return problems


def placeholders(text):
    return sorted(set(re.findall(r"%(?:n|L?\d+)", text or "")))


def translation_problems(root, lupdate):
    problems = []
    src = root / "src"
    with tempfile.TemporaryDirectory() as tmp:
        for shipped in sorted((root / "translations").glob("*.ts")):
            fresh = pathlib.Path(tmp) / shipped.name
            shutil.copy(shipped, fresh)
            subprocess.run([lupdate, *LUPDATE_OPTIONS, str(src), "-ts", str(fresh)], check=True,
                           stdout=subprocess.DEVNULL)
            if fresh.read_bytes() != shipped.read_bytes():
                problems.append(f"{shipped.relative_to(root)}: behind the sources (refresh it with the "
                                f"update_translations target and translate what is new)")
            for context in ET.parse(fresh).getroot().iter("context"):
                name = context.findtext("name")
                for message in context.iter("message"):
                    source = message.findtext("source")
                    translation = message.find("translation")
                    forms = [f.text for f in translation.iter("numerusform")] or [translation.text]
                    where = f"{shipped.name}: {name}: \"{source}\""
                    if translation.get("type") in ("unfinished", "vanished", "obsolete") or \
                            not all(forms):
                        problems.append(f"{where}: not translated")
                        continue
                    wanted = [p for p in placeholders(source) if p != "%n"]
                    for form in forms:
                        got = [p for p in placeholders(form) if p != "%n"]
                        if got != wanted:
                            problems.append(f"{where}: placeholders {got} instead of {wanted}")
    return problems


def main():
    root = pathlib.Path(sys.argv[1]).resolve()
    problems = untranslated_texts(root / "src") + translation_problems(root, sys.argv[2])
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
