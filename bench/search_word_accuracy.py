#!/usr/bin/env python3
"""How many search words reach the site as the right bytes.

A word typed into the search box is code page 932 text. The search command
fills it into the URL of a UTF-8 site (Google) and of an EUC-JP site (the
dictionary modes). This counts, for words of the kinds that short searches
are made of, how often the filled-in text equals the percent-encoded bytes
of the word in the site's encoding:
  - full-width letters and digits: each of the 62 alone, and 1,000 words of
    2 to 8 of them drawn with a fixed seed (the input method gives these);
  - single kanji: every kanji of JIS X 0208 (levels 1 and 2, 6,355);
  - half-width katakana: each of the 63 alone.
"guessed" is the word's encoding found by the detector (what the search
command did before it took the encoding from the ANSI code page); "code
page" is the encoding of code page 932 (what it does now).

Usage: bench/search_word_accuracy.py [path/to/transcode_accuracy]
(default build/native/bench/transcode_accuracy; build it with tools/build native)
"""

import os
import random
import subprocess
import sys

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SEED = 20261208
FULL_WIDTH = [chr(c) for c in range(0xFF10, 0xFF1A)] + \
    [chr(c) for c in range(0xFF21, 0xFF3B)] + [chr(c) for c in range(0xFF41, 0xFF5B)]


def url_encode(data):
    out = []
    for b in data:
        c = chr(b)
        if b == 0x20:
            out.append("+")
        elif c.isascii() and c.isalnum():
            out.append(c)
        else:
            out.append("%%%02x" % b)
    return "".join(out)


def word_sets():
    rng = random.Random(SEED)
    full = list(FULL_WIDTH) + ["".join(rng.choice(FULL_WIDTH) for _ in range(rng.randint(2, 8)))
                               for _ in range(1000)]
    kanji = []
    for row in range(16, 85):
        for cell in range(1, 95):
            try:
                kanji.append(bytes([0xA0 + row, 0xA0 + cell]).decode("euc_jp"))
            except UnicodeDecodeError:
                pass
    halfwidth = [chr(c) for c in range(0xFF61, 0xFFA0)]
    return [("full-width letters and digits", full), ("single kanji", kanji),
            ("half-width katakana", halfwidth)]


def main():
    tool = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        REPO, "build", "native", "bench", "transcode_accuracy")
    print("| words | count | site | guessed | code page |")
    print("|---|---|---|---|---|")
    wrong_examples = []
    for name, words in word_sets():
        feed = "".join(w.encode("cp932").hex() + "\n" for w in words)
        lines = subprocess.run([tool, "--search-road"], input=feed, capture_output=True,
                               text=True, check=True).stdout.splitlines()
        right = {}
        for w, line in zip(words, lines):
            guess_utf8, guess_euc, known_utf8, known_euc = line.split()
            truth = {"UTF-8": url_encode(w.encode("utf-8")),
                     "EUC-JP": url_encode(w.encode("euc_jp"))}
            got = {("UTF-8", "guessed"): guess_utf8, ("EUC-JP", "guessed"): guess_euc,
                   ("UTF-8", "code page"): known_utf8, ("EUC-JP", "code page"): known_euc}
            for (site, how), value in got.items():
                ok = value == truth[site]
                right[(site, how)] = right.get((site, how), 0) + ok
                if not ok and how == "guessed" and len(wrong_examples) < 12:
                    wrong_examples.append("%s to %s: %s instead of %s" % (w, site, value,
                                                                          truth[site]))
        for site in ("UTF-8", "EUC-JP"):
            print("| %s | %d | %s | %d (%.1f %%) | %d (%.1f %%) |" % (
                name, len(words), site,
                right[(site, "guessed")], 100.0 * right[(site, "guessed")] / len(words),
                right[(site, "code page")], 100.0 * right[(site, "code page")] / len(words)))
    print()
    for example in wrong_examples:
        print("guessed wrong: " + example)


if __name__ == "__main__":
    main()
