#!/usr/bin/env python3
"""Generates transcode/char_weights.cpp, the character weight table of the
encoding detector, by Shift_JIS (CP932) code. The detector reads an EUC-JP
code or a Unicode code point through the Shift_JIS code of the same
character (transcode/char_weights.h), so one table serves the three; its
codes are dense where code points are not (a third of the leaves).

A weight says how typical a character is of Japanese text. The counts come
from Japanese prose shipped in Debian packages (the Japanese manual pages and
the Japanese Debian handbooks), counted over their distinct lines so that a
line repeated in many pages counts once. Kanji that the prose lacks or barely
uses are topped up from the word list of the mecab IPA dictionary: a kanji
gets what the prose-to-lexicon ratio of the kanji seen in both predicts.

A weight is 150,324 * (n / n0) ** 0.3, where n is the character's count and
n0 the count of U+306E, the most frequent hiragana. The power flattens the
counts: the detector adds up weights over each way of reading the bytes, and
with raw counts a few very common characters in a wrong reading outweigh a
right reading made of ordinary ones. Half-width katakana are rare in prose
and their bytes are also the bytes of EUC-JP kanji, so each counts as 2% of
the count of the full-width letter it stands for; the five half-width
punctuation marks (A1-A5) weigh 100, as A4 and A5 also start every EUC-JP
hiragana and katakana. Every hiragana and
katakana weighs at least 100, seen or not. Kanji of the second JIS level
(Shift_JIS 989F-EAA4, the rarely used half by design) weigh 100 at most: in
Shift_JIS they are also what the bytes of UTF-8 kanji and kana read as, so
giving them more makes UTF-8 words look like Shift_JIS.

Weights are kept between 100 and 395,577; U+3000 weighs 395,578, which is
also the detector's penalty for one invalid sequence. Characters found in
neither source are left out and weigh 0.

The power and the half-width share were chosen on a word list from another
source (bench/make_words.py) to get Shift_JIS words right first: a search
word typed on a Japanese system arrives as Shift_JIS.

Usage: tools/gen_weights.py [--no-install] [output]
(default output transcode/char_weights.cpp). The script installs the packages
it reads (apt-get) and records their versions in the output's banner; run
twice, it writes the same bytes. With --no-install it installs nothing and
exits with status 77 when a package is missing (the reproducibility test
skips then).
"""

import glob
import gzip
import os
import re
import subprocess
import sys
import unicodedata

PROSE_PACKAGES = {
    "manpages-ja": ["/usr/share/man/ja/**/*.gz"],
    "debian-reference-ja": ["/usr/share/debian-reference/*.ja.html"],
    "developers-reference-ja": ["/usr/share/developers-reference/ja/_sources/*.rst.txt"],
    "maint-guide-ja": ["/usr/share/doc/maint-guide-ja/html/*.ja.html"],
    "debian-policy-ja": ["/usr/share/doc/debian-policy/ja/policy.html/_sources/*.rst.txt"],
    "debian-faq-ja": ["/usr/share/doc/debian/FAQ/debian-faq.ja.txt.gz"],
}
LEXICON_PACKAGE = "mecab-ipadic"
LEXICON_GLOB = "/usr/share/mecab/dic/ipadic/*.csv"

IDEOGRAPHIC_SPACE = 0x3000
PENALTY = 395578
ANCHOR_CHAR = 0x306E  # の
ANCHOR_WEIGHT = 150324
MIN_WEIGHT = 100
# Exponent applied to the relative counts.
POWER = 0.3
# Share of the full-width katakana's weight that its half-width form gets.
HALF_WIDTH_SHARE = 0.02
# Shift_JIS codes of the second-level kanji, and their largest weight.
LEVEL2_FIRST, LEVEL2_LAST = 0x989F, 0xEAA4
LEVEL2_MAX_WEIGHT = 100
# A kanji seen fewer times than this in the prose is topped up from the lexicon.
TOP_UP_BELOW = 20


def ensure_packages(names, install=True):
    missing = []
    for name in names:
        r = subprocess.run(["dpkg-query", "-W", "-f=${Status}", name],
                           capture_output=True, text=True)
        if "install ok installed" not in r.stdout:
            missing.append(name)
    if missing and not install:
        print("missing packages: %s" % " ".join(missing), file=sys.stderr)
        sys.exit(77)
    if missing:
        env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
        subprocess.run(["apt-get", "install", "-y", "-q", "--no-install-recommends"] + missing,
                       check=True, env=env)


def version_of(name):
    return subprocess.run(["dpkg-query", "-W", "-f=${Version}", name],
                          capture_output=True, text=True, check=True).stdout.strip()


def cp932_decode_table():
    """CP932 code -> character: half-width katakana as single bytes, the
    double-byte codes without the user-defined area F040-F9FC."""
    table = {}
    for b in range(0xA1, 0xE0):
        table[b] = bytes([b]).decode("cp932")
    for lead in list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD)):
        if 0xF0 <= lead <= 0xF9:
            continue
        for trail in range(0x40, 0xFD):
            if trail == 0x7F:
                continue
            try:
                ch = bytes([lead, trail]).decode("cp932")
            except UnicodeDecodeError:
                continue
            table[lead * 256 + trail] = ch
    return table


def read_text(path):
    if path.endswith(".gz"):
        with gzip.open(path, "rb") as f:
            data = f.read()
    else:
        with open(path, "rb") as f:
            data = f.read()
    return data.decode("utf-8", errors="replace")


def prose_counts(known):
    lines = set()
    for globs in PROSE_PACKAGES.values():
        for pattern in globs:
            for path in sorted(glob.glob(pattern, recursive=True)):
                for line in read_text(path).splitlines():
                    line = line.strip()
                    if any(ord(ch) > 0x7F for ch in line):
                        lines.add(line)
    counts = {}
    for line in lines:
        for ch in line:
            if ch in known:
                counts[ch] = counts.get(ch, 0) + 1
    return counts, len(lines)


def lexicon_counts(known):
    counts = {}
    entries = 0
    for path in sorted(glob.glob(LEXICON_GLOB)):
        with open(path, "rb") as f:
            for raw in f.read().decode("euc_jp", errors="replace").splitlines():
                surface = raw.split(",", 1)[0]
                entries += 1
                for ch in surface:
                    if ch in known:
                        counts[ch] = counts.get(ch, 0) + 1
    return counts, entries


def is_kanji(ch):
    return unicodedata.name(ch, "").startswith("CJK")


def compute_weights(prose, lexicon):
    scale = ANCHOR_WEIGHT / prose[chr(ANCHOR_CHAR)]
    weights = {}
    for ch, n in prose.items():
        weights[ch] = n * scale
    # Prose-to-lexicon ratio over kanji that are well attested in both.
    ratios = sorted(prose[ch] / lexicon[ch] for ch in prose
                    if is_kanji(ch) and prose[ch] >= TOP_UP_BELOW and lexicon.get(ch, 0) >= 20)
    ratio = ratios[len(ratios) // 2]
    for ch, n in lexicon.items():
        if is_kanji(ch) and prose.get(ch, 0) < TOP_UP_BELOW:
            weights[ch] = max(weights.get(ch, 0), n * ratio * scale)
    # Half-width katakana after their full-width letters.
    for b in range(0xA1, 0xE0):
        half = bytes([b]).decode("cp932")
        full = unicodedata.normalize("NFKC", half)
        weights[half] = max(weights.get(half, 0), weights.get(full, 0) * HALF_WIDTH_SHARE)
    out = {}
    for ch, w in weights.items():
        w = int(round(ANCHOR_WEIGHT * (w / ANCHOR_WEIGHT) ** POWER))
        if w <= 0:
            continue
        out[ord(ch)] = min(max(w, MIN_WEIGHT), PENALTY - 1)
    for cp in list(range(0x3041, 0x3094)) + list(range(0x30A1, 0x30F7)):
        out.setdefault(cp, MIN_WEIGHT)
    for b in range(0xA1, 0xA6):
        out[ord(bytes([b]).decode("cp932"))] = MIN_WEIGHT
    for cp in out:
        code = int.from_bytes(chr(cp).encode("cp932"), "big")
        if LEVEL2_FIRST <= code <= LEVEL2_LAST:
            out[cp] = min(out[cp], LEVEL2_MAX_WEIGHT)
    out[IDEOGRAPHIC_SPACE] = PENALTY
    return out


def build_index(weights, decode):
    sjis = {}
    for code, ch in decode.items():
        w = weights.get(ord(ch))
        if w:
            sjis[code] = w
    return sjis


def emit_table(out, name, table):
    leaves = {}
    for code, w in table.items():
        leaves.setdefault(code >> 5, [0] * 32)[code & 31] = w
    out.append("// %s: %d codes" % (name, len(table)))
    for key in sorted(leaves):
        vals = leaves[key]
        out.append("const std::uint32_t %s_%04x[32] = {" % (name, key << 5))
        for i in range(0, 32, 8):
            out.append("    " + ", ".join("%d" % v for v in vals[i:i + 8]) + ",")
        out.append("};")
    mids = sorted({key >> 3 for key in leaves})
    for hi in mids:
        ptrs = []
        for k in range(8):
            key = (hi << 3) | k
            ptrs.append("%s_%04x" % (name, key << 5) if key in leaves else "nullptr")
        out.append("const std::uint32_t* const %s_%02x[8] = {" % (name, hi))
        out.append("    " + ", ".join(ptrs[:4]) + ",")
        out.append("    " + ", ".join(ptrs[4:]) + ",")
        out.append("};")
    return mids


def emit(path, weights, sjis, versions, stats):
    out = []
    out.append("// clang-format off")
    out.append("// Generated by tools/gen_weights.py; do not edit. Run the script again to")
    out.append("// rebuild it.")
    out.append("//")
    out.append("// Character weights for the encoding detector: how typical each character")
    out.append("// is of Japanese text, from character counts over the distinct lines of")
    out.append("// the Japanese prose in these Debian packages:")
    for name in PROSE_PACKAGES:
        out.append("//   %s %s" % (name, versions[name]))
    out.append("// (%d distinct lines), kanji the prose barely uses topped up from the word" %
               stats["lines"])
    out.append("// list of %s %s (%d entries);" %
               (LEXICON_PACKAGE, versions[LEXICON_PACKAGE], stats["entries"]))
    out.append("// half-width katakana count as %d%% of their full-width letter, half-width" %
               int(HALF_WIDTH_SHARE * 100))
    out.append("// punctuation weighs %d." % MIN_WEIGHT)
    out.append("// Weight = %d * (n / n(U+306E)) ** %s." % (ANCHOR_WEIGHT, POWER))
    out.append("// Second-level kanji weigh %d at most. U+3000 weighs %d, the penalty of one" %
               (LEVEL2_MAX_WEIGHT, PENALTY))
    out.append("// invalid sequence; every other weight lies between %d and %d." %
               (MIN_WEIGHT, PENALTY - 1))
    out.append("// %d characters, %d Shift_JIS codes." % (len(weights), len(sjis)))
    out.append("")
    out.append('#include "transcode/char_weights.h"')
    out.append("")
    out.append("namespace transcode {")
    out.append("namespace {")
    out.append("")
    mids = set(emit_table(out, "sjis", sjis))
    out.append("")
    out.append("}  // namespace")
    out.append("")
    out.append("const weight_index sjis_char_weights = {")
    row = []
    for hi in range(256):
        row.append("sjis_%02x" % hi if hi in mids else "nullptr")
    for i in range(0, 256, 8):
        out.append("    " + ", ".join(row[i:i + 8]) + ",")
    out.append("};")
    out.append("")
    out.append("}  // namespace transcode")
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(out) + "\n")


def main():
    repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    args = sys.argv[1:]
    install = "--no-install" not in args
    args = [a for a in args if a != "--no-install"]
    target = args[0] if args else os.path.join(repo, "transcode", "char_weights.cpp")
    packages = list(PROSE_PACKAGES) + [LEXICON_PACKAGE]
    ensure_packages(packages, install)
    versions = {p: version_of(p) for p in packages}
    decode = cp932_decode_table()
    known = set(decode.values())
    prose, lines = prose_counts(known)
    lexicon, entries = lexicon_counts(known)
    weights = compute_weights(prose, lexicon)
    sjis = build_index(weights, decode)
    emit(target, weights, sjis, versions, {"lines": lines, "entries": entries})
    heaviest = sorted(weights.items(), key=lambda kv: -kv[1])[:12]
    print("%d characters; heaviest: %s" % (len(weights), ", ".join(
        "U+%04X %d" % kv for kv in heaviest)), file=sys.stderr)


if __name__ == "__main__":
    main()
