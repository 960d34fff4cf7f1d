#!/usr/bin/env python3
"""Accuracy benchmark of the encoding detector on short Japanese words.

Builds the word list (bench/make_words.py, words from the SKK dictionary)
into build/bench/, gives every word to convert_to_encoding(word, UTF-8) as
CP932, EUC-JP and UTF-8 bytes, and counts per length band (1-2, 3-4, 5 and
more characters) the share that comes out as the right UTF-8. The same words
go to two peers: uchardet and nkf --guess, whose guess is counted right when
decoding the bytes with the guessed encoding gives the word.

Usage: bench/detect_accuracy.py [path/to/transcode_accuracy]
(default build/native/bench/transcode_accuracy; build it with tools/build native)
Installs uchardet, nkf and skkdic with apt-get when they are missing.
"""

import collections
import os
import subprocess
import sys

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BANDS = ("1-2", "3-4", "5+")
INPUTS = (("CP932", "cp932"), ("EUC-JP", "euc_jp"), ("UTF-8", "utf-8"))
# Python codecs for the names the peers print.
PEER_CODECS = {
    "SHIFT_JIS": "cp932", "SHIFT-JIS": "cp932", "WINDOWS-31J": "cp932", "CP932": "cp932",
    "EUC-JP": "euc_jp", "UTF-8": "utf-8", "ASCII": "ascii",
}
ENCODING_NAMES = {0: "unknown", 2: "7-bit", 3: "Shift_JIS", 4: "JIS", 5: "EUC-JP", 7: "UTF-8",
                  8: "UTF-16BE", 9: "UTF-16LE", 10: "UTF-32BE", 11: "UTF-32LE"}


def ensure_packages(names):
    missing = []
    for name in names:
        r = subprocess.run(["dpkg-query", "-W", "-f=${Status}", name],
                           capture_output=True, text=True)
        if "install ok installed" not in r.stdout:
            missing.append(name)
    if missing:
        env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
        subprocess.run(["apt-get", "install", "-y", "-q", "--no-install-recommends"] + missing,
                       check=True, env=env)


def band(word):
    n = len(word)
    return "1-2" if n <= 2 else "3-4" if n <= 4 else "5+"


def peer_guess(peer, data):
    if peer == "uchardet":
        out = subprocess.run(["uchardet"], input=data, capture_output=True).stdout
    else:
        out = subprocess.run(["nkf", "--guess"], input=data, capture_output=True).stdout
    return out.decode("ascii", "replace").strip().split(" ")[0]


def peer_right(name, data, word):
    codec = PEER_CODECS.get(name.upper())
    if codec is None:
        return False
    try:
        return data.decode(codec) == word
    except UnicodeDecodeError:
        return False


def main():
    tool = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        REPO, "build", "native", "bench", "transcode_accuracy")
    ensure_packages(["uchardet", "nkf", "skkdic"])
    words_file = os.path.join(REPO, "build", "bench", "words.tsv")
    subprocess.run([sys.executable, os.path.join(REPO, "bench", "make_words.py"), words_file],
                   check=True)
    with open(words_file, encoding="utf-8") as f:
        words = [line.rstrip("\n").split("\t") for line in f if line.strip()]
    totals = collections.Counter(band(w) for _, w in words)
    right = collections.Counter()  # (input, method, band)
    failures = collections.defaultdict(list)
    for label, codec in INPUTS:
        inputs = [w.encode(codec) for _, w in words]
        feed = "".join(b.hex() + "\n" for b in inputs)
        lines = subprocess.run([tool], input=feed, capture_output=True, text=True,
                               check=True).stdout.splitlines()
        for (cat, w), data, line in zip(words, inputs, lines):
            out_hex, detected, sj, eu, u8 = line.split()
            got = bytes.fromhex(out_hex) if out_hex != "-" else b""
            if got == w.encode("utf-8"):
                right[(label, "ours", band(w))] += 1
            else:
                failures[label].append((w, cat, ENCODING_NAMES.get(int(detected), detected),
                                        sj, eu, u8))
            for peer in ("uchardet", "nkf"):
                if peer_right(peer_guess(peer, data), data, w):
                    right[(label, peer, band(w))] += 1

    print("Words: %d (%s), from %s" % (len(words), ", ".join(
        "%s: %d" % (b, totals[b]) for b in BANDS), "skkdic"))
    print()
    print("| input | band | convert_to_encoding | uchardet | nkf --guess |")
    print("|---|---|---|---|---|")
    for label, _ in INPUTS:
        for b in BANDS:
            cells = ["%.1f %%" % (100.0 * right[(label, m, b)] / totals[b])
                     for m in ("ours", "uchardet", "nkf")]
            print("| %s | %s | %s |" % (label, b, " | ".join(cells)))
    for label, _ in INPUTS:
        fails = failures[label]
        print()
        by_cat = collections.Counter(cat for _, cat, *_ in fails)
        print("%s words converted wrong: %d (%s)" % (label, len(fails), ", ".join(
            "%s %d" % kv for kv in sorted(by_cat.items()))))
        limit = None if label == "CP932" else 15
        for w, cat, det, sj, eu, u8 in fails[:limit]:
            print("  %s (%s): detected %s; scores Shift_JIS %s, EUC-JP %s, UTF-8 %s" %
                  (w, cat, det, sj, eu, u8))
        if limit is not None and len(fails) > limit:
            print("  ...")


if __name__ == "__main__":
    main()
