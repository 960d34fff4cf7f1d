#!/usr/bin/env python3
"""Generates the mapping tables of the conversion library.

Source: the cp932 and euc_jp codecs of the Python 3 standard library, read
in the decoding direction only:
- CP932 to Unicode: every double-byte code and the half-width katakana that
  the cp932 codec decodes, without the user-defined area F040-F9FC and the
  single bytes 80, A0 and FD-FF (the codec's additions to Microsoft's table).
- EUC-JP two-byte to Unicode: the CP932 double-byte codes 8140-EFFC moved to
  JIS rows and cells by the standard Shift_JIS relation, without the nine NEC
  row 13 duplicates ADF0-ADFC and FCFB; plus 8EA1-8EDF.
- JIS X 0212 to Unicode: the euc_jp codec on 8F A1A1-FEFE.
The encoding tables are the reverse of the decoding tables where the lowest
code wins, plus seven one-way entries for CP932. No codec's encoder is used.

Usage: tools/gen_transcode_tables.py [output.cpp]
(default: transcode/tables_generated.cpp beside this script's repository).
Rerunning reproduces the output byte for byte.
"""

import os
import sys

OUT_DEFAULT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "transcode",
                           "tables_generated.cpp")

SJIS_LEADS = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))
SJIS_TRAILS = [t for t in range(0x40, 0xFD) if t != 0x7F]

# NEC row 13 duplicates of JIS X 0208 symbols, and the duplicate of U+FFE2
# from the NEC-selected IBM extensions: left out of the EUC-JP table.
EUC_LEFT_OUT = {0xADF0, 0xADF1, 0xADF2, 0xADF5, 0xADF6, 0xADF7, 0xADFA, 0xADFB, 0xADFC, 0xFCFB}

# Characters that CP932 encodes although it never decodes to them.
CP932_ONE_WAY = {0x00A2: 0x8191, 0x00A3: 0x8192, 0x00AC: 0x81CA, 0x2014: 0x815C,
                 0x2016: 0x8161, 0x2212: 0x817C, 0x301C: 0x8160}

BLOCK = 256


def decode_one(data, codec):
    try:
        text = data.decode(codec)
    except UnicodeDecodeError:
        return None
    if len(text) != 1:
        return None
    return ord(text)


def sjis_to_jis(c, t):
    """The standard relation, in byte arithmetic modulo 256."""
    e = t - 1 if t >= 0x80 else t
    f = (2 * c - 0x60) & 0xFF
    if c < 0xA0:
        f = (f - 0x80) & 0xFF
    if e < 0x9E:
        return (f - 1) & 0xFF, (e - 0x1F) & 0xFF
    return f, (e - 0x7D) & 0xFF


def build():
    cp932 = {}
    for c in SJIS_LEADS:
        if 0xF0 <= c <= 0xF9:
            continue  # user-defined area: no mapping
        for t in SJIS_TRAILS:
            u = decode_one(bytes([c, t]), "cp932")
            if u is not None:
                cp932[(c << 8) | t] = u
    kana = {b: decode_one(bytes([b]), "cp932") for b in range(0xA1, 0xE0)}
    assert len(cp932) == 7724 and len(kana) == 63, (len(cp932), len(kana))
    assert all(kana[b] == 0xFF61 + b - 0xA1 for b in kana)
    assert cp932[0x8160] == 0xFF5E and cp932[0x8790] == 0x2252

    euc2 = {}
    for code, u in sorted(cp932.items()):
        if code > 0xEFFC:
            continue
        j1, j2 = sjis_to_jis(code >> 8, code & 0xFF)
        euc = ((j1 | 0x80) << 8) | (j2 | 0x80)
        assert 0xA1 <= j1 | 0x80 <= 0xFE and 0xA1 <= j2 | 0x80 <= 0xFE, hex(code)
        assert euc not in euc2
        if euc not in EUC_LEFT_OUT:
            euc2[euc] = u
    for b in range(0xA1, 0xE0):
        euc2[0x8E00 | b] = kana[b]
    assert len(euc2) == 7389, len(euc2)
    assert euc2[0xA1C1] == 0xFF5E and euc2[0xA2CC] == 0xFFE2

    x0212 = {}
    for b1 in range(0xA1, 0xFF):
        for b2 in range(0xA1, 0xFF):
            u = decode_one(bytes([0x8F, b1, b2]), "euc_jp")
            if u is not None:
                x0212[(b1 << 8) | b2] = u
    assert len(x0212) == 6067, len(x0212)
    assert x0212[0xA2B7] == 0x7E

    # Reverse tables: the lowest code wins.
    to_cp932 = {}
    for b, u in sorted(kana.items()):
        to_cp932.setdefault(u, b)
    for code, u in sorted(cp932.items()):
        to_cp932.setdefault(u, code)
    for u, code in CP932_ONE_WAY.items():
        assert u not in to_cp932, hex(u)
        to_cp932[u] = code
    assert to_cp932[0x2252] == 0x81E0 and to_cp932[0x7E8A] == 0xED40
    assert to_cp932[0x2170] == 0xEEEF and to_cp932[0xFFE2] == 0x81CA

    to_euc = {}
    candidates = sorted([(code, u) for code, u in euc2.items()] +
                        [(0x8F0000 | code, u) for code, u in x0212.items()])
    for code, u in candidates:
        to_euc.setdefault(u, code)

    # Shift_JIS IBM extensions FA40-FC4B to the EUC-JP code of the same
    # character, and the inverse for the EUC-JP rows 89-92 (F9A1-FCFE).
    ibm = {}
    for code, u in sorted(cp932.items()):
        if code >= 0xFA40:
            e = to_euc[u]
            assert e <= 0xFFFF, hex(code)
            ibm[code] = e
    assert len(ibm) == 388 and ibm[0xFA40] == 0xFCF1
    ibm_inverse = {}
    for code, e in sorted(ibm.items()):
        if 0xF9A1 <= e <= 0xFCFE:
            assert e not in ibm_inverse
            ibm_inverse[e] = code
    return cp932, kana, euc2, x0212, to_cp932, to_euc, ibm, ibm_inverse


def pack_euc(code):
    """Three-byte codes 8F xx yy are kept as (xx & 0x7F, yy): a first byte
    below 0x80 marks them, as every two-byte code starts at 0x8E or above."""
    if code > 0xFFFF:
        return (((code >> 8) & 0x7F) << 8) | (code & 0xFF)
    return code


def array(name, ctype, values, comment):
    lines = ["// " + line for line in comment]
    lines.append("const %s %s[%d] = {" % (ctype, name, len(values)))
    for k in range(0, len(values), 12):
        lines.append("    " + ", ".join("0x%X" % v if v else "0" for v in values[k:k + 12]) + ",")
    lines.append("};")
    return "\n".join(lines) + "\n"


def two_level(mapping, pack=lambda v: v):
    """Page index by high byte, shared 256-unit blocks (block 0 is empty)."""
    blocks = [tuple([0] * BLOCK)]
    index = {blocks[0]: 0}
    pages = []
    for hi in range(256):
        block = tuple(pack(mapping[(hi << 8) | lo]) if (hi << 8) | lo in mapping else 0
                      for lo in range(BLOCK))
        if block not in index:
            index[block] = len(blocks)
            blocks.append(block)
        pages.append(index[block])
    assert len(blocks) < 256
    flat = [v for block in blocks for v in block]
    return pages, flat, len(blocks)


def generate():
    cp932, kana, euc2, x0212, to_cp932, to_euc, ibm, ibm_inverse = build()

    lead_index = {c: k for k, c in enumerate(SJIS_LEADS)}
    cp932_flat = [0] * (len(SJIS_LEADS) * 192)
    for code, u in cp932.items():
        cp932_flat[lead_index[code >> 8] * 192 + (code & 0xFF) - 0x40] = u

    euc_flat = [0] * (95 * 94)
    for code, u in euc2.items():
        row = 0 if code >> 8 == 0x8E else (code >> 8) - 0xA0
        euc_flat[row * 94 + (code & 0xFF) - 0xA1] = u

    x0212_flat = [0] * (94 * 94)
    for code, u in x0212.items():
        x0212_flat[((code >> 8) - 0xA1) * 94 + (code & 0xFF) - 0xA1] = u

    ibm_flat = [0] * (3 * 192)
    for code, e in ibm.items():
        ibm_flat[((code >> 8) - 0xFA) * 192 + (code & 0xFF) - 0x40] = e
    ibm_inv_flat = [0] * (4 * 94)
    for e, code in ibm_inverse.items():
        ibm_inv_flat[((e >> 8) - 0xF9) * 94 + (e & 0xFF) - 0xA1] = code

    cp_pages, cp_blocks, cp_count = two_level(to_cp932)
    euc_pages, euc_blocks, euc_count = two_level(to_euc, pack_euc)

    out = []
    out.append("// Generated by tools/gen_transcode_tables.py from the cp932 and euc_jp codecs\n"
               "// of the Python 3 standard library (decoding direction only). Do not edit;\n"
               "// rerun the generator instead.\n// clang-format off\n")
    out.append('#include "transcode/tables.h"\n\nnamespace transcode {\nnamespace tables {\n')
    out.append(array("cp932_kana_to_unicode", "std::uint16_t", [kana[b] for b in range(0xA1, 0xE0)],
                     ["Half-width katakana A1-DF."]))
    out.append(array("cp932_to_unicode", "std::uint16_t", cp932_flat,
                     ["CP932 double-byte codes: [lead][trail - 0x40], leads 81-9F then E0-FC."]))
    out.append(array("euc_to_unicode", "std::uint16_t", euc_flat,
                     ["EUC-JP two-byte codes: [row][cell - 0xA1], row 0 is 8E, rows 1-94 are A1-FE."]))
    out.append(array("jisx0212_to_unicode", "std::uint16_t", x0212_flat,
                     ["JIS X 0212 (EUC-JP 8F xx yy): [xx - 0xA1][yy - 0xA1]."]))
    out.append(array("ibm_to_euc", "std::uint16_t", ibm_flat,
                     ["Shift_JIS IBM extensions FA40-FC4B: [lead - 0xFA][trail - 0x40]."]))
    out.append(array("euc_ibm_to_sjis", "std::uint16_t", ibm_inv_flat,
                     ["EUC-JP rows 89-92 (F9A1-FCFE) back to the IBM extensions: [d - 0xF9][f - 0xA1]."]))
    out.append(array("unicode_to_cp932_page", "std::uint8_t", cp_pages,
                     ["Unicode to CP932: block of each 256-unit page."]))
    out.append(array("unicode_to_cp932_blocks", "std::uint16_t", cp_blocks,
                     ["Unicode to CP932: %d blocks of 256 codes (single bytes below 0x100)." % cp_count]))
    out.append(array("unicode_to_euc_page", "std::uint8_t", euc_pages,
                     ["Unicode to EUC-JP: block of each 256-unit page."]))
    out.append(array("unicode_to_euc_blocks", "std::uint16_t", euc_blocks,
                     ["Unicode to EUC-JP: %d blocks; a first byte below 0x80 means 8F (first | 0x80)."
                      % euc_count]))
    out.append("}  // namespace tables\n}  // namespace transcode\n")
    return "\n".join(out)


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else OUT_DEFAULT
    text = generate()
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write(text)


if __name__ == "__main__":
    main()
