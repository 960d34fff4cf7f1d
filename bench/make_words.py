#!/usr/bin/env python3
"""Builds the word list of the detection accuracy benchmark.

The words come from the SKK dictionary (Debian package skkdic), a source the
character weights do not use: kanji words, words of kanji and kana, katakana
words and hiragana readings, 1 to 10 characters, plus katakana words written
in half-width katakana. The sample is drawn with a fixed seed, so the list is
the same on every run for the same package version.

Usage: bench/make_words.py OUTPUT   (one "category<TAB>word" line per word, UTF-8)
"""

import os
import random
import subprocess
import sys
import unicodedata

DICTIONARY = "/usr/share/skk/SKK-JISYO.L"
SEED = 20261208
BANDS = ((1, 2), (3, 4), (5, 10))
# Words drawn per length band and category.
QUOTA = {"kanji": 420, "mixed": 260, "hiragana": 150, "katakana": 150, "halfwidth": 60}


def ensure_package(name):
    r = subprocess.run(["dpkg-query", "-W", "-f=${Status}", name], capture_output=True, text=True)
    if "install ok installed" not in r.stdout:
        env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
        subprocess.run(["apt-get", "install", "-y", "-q", "--no-install-recommends", name],
                       check=True, env=env)


def char_kind(ch):
    cp = ord(ch)
    if 0x3041 <= cp <= 0x3096:
        return "h"
    if 0x30A1 <= cp <= 0x30FA or cp == 0x30FC:
        return "k"
    if unicodedata.name(ch, "").startswith("CJK UNIFIED") or ch in "々〆ヶ":
        return "c"
    return None


def both_encodings_agree(word):
    """True when the word has a CP932 and an EUC-JP form that name the same
    characters (Python's euc_jp differs from the CP932 form for a few
    symbols such as the wave dash)."""
    try:
        s = word.encode("cp932")
        e = word.encode("euc_jp")
    except UnicodeEncodeError:
        return False
    return s.decode("cp932") == word and e.decode("euc_jp") == word


def categorize(word):
    kinds = [char_kind(ch) for ch in word]
    if None in kinds:
        return None
    k = set(kinds)
    if k == {"c"}:
        return "kanji"
    if k == {"h"}:
        return "hiragana"
    if k == {"k"}:
        return "katakana"
    if "c" in k:
        return "mixed"
    return None


def half_width_map():
    table = {}
    for b in range(0xA1, 0xE0):
        half = bytes([b]).decode("cp932")
        table[unicodedata.normalize("NFKC", half)] = half
    voiced = "ﾞ"
    semi = "ﾟ"
    for full in list(table):
        for mark, comb in ((voiced, "\u3099"), (semi, "\u309a")):
            composed = unicodedata.normalize("NFC", full + comb)
            if len(composed) == 1 and composed not in table:
                table[composed] = table[full] + mark
    return table


def read_words():
    with open(DICTIONARY, "rb") as f:
        text = f.read().decode("euc_jp", errors="replace")
    words = set()
    okuri_nasi = False
    for line in text.splitlines():
        if line.startswith(";; okuri-nasi"):
            okuri_nasi = True
            continue
        if not okuri_nasi or line.startswith(";") or " /" not in line:
            continue
        reading, rest = line.split(" /", 1)
        if categorize(reading) == "hiragana":
            words.add(reading)
        for cand in rest.split("/"):
            cand = cand.split(";", 1)[0]
            if cand and categorize(cand):
                words.add(cand)
    return sorted(w for w in words if both_encodings_agree(w))


def main():
    out = sys.argv[1]
    ensure_package("skkdic")
    words = read_words()
    pools = {}
    for w in words:
        pools.setdefault((categorize(w), len(w)), []).append(w)
    halfmap = half_width_map()
    rng = random.Random(SEED)
    chosen = []
    for lo, hi in BANDS:
        for cat, n in QUOTA.items():
            src = "katakana" if cat == "halfwidth" else cat
            pool = [w for length in range(lo, hi + 1) for w in pools.get((src, length), [])]
            if cat == "halfwidth":
                pool = ["".join(halfmap[c] for c in w) for w in pool if all(c in halfmap for c in w)]
                pool = [w for w in pool if lo <= len(w) <= hi]
            pool = sorted(set(pool))
            picked = rng.sample(pool, min(n, len(pool)))
            chosen.extend((cat, w) for w in sorted(picked))
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    with open(out, "w", encoding="utf-8", newline="\n") as f:
        for cat, w in chosen:
            f.write("%s\t%s\n" % (cat, w))
    print("%d words written to %s" % (len(chosen), out), file=sys.stderr)


if __name__ == "__main__":
    main()
