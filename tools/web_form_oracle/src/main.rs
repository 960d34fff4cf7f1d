// Writes the table that tests/unit/web_form_test.cpp checks the search
// road's web-form encoders against: words as UTF-16 units and the bytes the
// Encoding Standard's Shift_JIS, EUC-JP and ISO-2022-JP encoders make of
// them, with "&#N;" for each character an encoder cannot encode (what a
// browser submits in a form). The encoders are encoding_rs's, which follows
// the standard exactly.
//
// The words: every code point of the standard's JIS X 0208 index (read back
// through the crate's Shift_JIS decoder, pointer by pointer), in words of 16;
// the characters that differ from the library's own engines; and random
// words from a fixed seed.
//
// Usage: web_form_oracle CRATE_VERSION > table (tools/gen_web_form_table).
use encoding_rs::{Encoding, EUC_JP, ISO_2022_JP, SHIFT_JIS};
use std::fmt::Write;

const SEED: u64 = 20261209;
const RANDOM_WORDS: usize = 600;
const INDEX_WORD: usize = 16;

// splitmix64: the same numbers on every machine and every compiler.
struct Random(u64);
impl Random {
    fn next(&mut self) -> u64 {
        self.0 = self.0.wrapping_add(0x9E37_79B9_7F4A_7C15);
        let mut z = self.0;
        z = (z ^ (z >> 30)).wrapping_mul(0xBF58_476D_1CE4_E5B9);
        z = (z ^ (z >> 27)).wrapping_mul(0x94D0_49BB_1331_11EB);
        z ^ (z >> 31)
    }
    fn below(&mut self, n: u64) -> u64 {
        self.next() % n
    }
}

// The code points the decoder gives for each two-byte code, in code order,
// each once.
fn decoded_once(encoding: &'static Encoding, codes: &[[u8; 3]], three: bool) -> Vec<u16> {
    let mut seen = std::collections::HashSet::new();
    let mut out = Vec::new();
    for code in codes {
        let bytes = if three { &code[..] } else { &code[..2] };
        let mut decoder = encoding.new_decoder_without_bom_handling();
        let mut units = [0u16; 4];
        let (result, read, written) =
            decoder.decode_to_utf16_without_replacement(bytes, &mut units, true);
        if result == encoding_rs::DecoderResult::InputEmpty && read == bytes.len() && written == 1
        {
            if seen.insert(units[0]) {
                out.push(units[0]);
            }
        }
    }
    out
}

// Index jis0208 pointers as Shift_JIS codes; 8836-10715 are the user-defined
// area, which the index does not hold.
fn jis0208_index() -> Vec<u16> {
    let mut codes = Vec::new();
    for pointer in (0..8836u32).chain(10716..11104) {
        let lead = pointer / 188;
        let trail = pointer % 188;
        let lead = lead + if lead < 0x1F { 0x81 } else { 0xC1 };
        let trail = trail + if trail < 0x3F { 0x40 } else { 0x41 };
        codes.push([lead as u8, trail as u8, 0]);
    }
    decoded_once(SHIFT_JIS, &codes, false)
}

// JIS X 0212, which the standard's EUC-JP decoder reads after 0x8F and its
// encoder never writes.
fn jis0212_index() -> Vec<u16> {
    let mut codes = Vec::new();
    for a in 0xA1..=0xFEu8 {
        for b in 0xA1..=0xFEu8 {
            codes.push([0x8F, a, b]);
        }
    }
    decoded_once(EUC_JP, &codes, true)
}

fn units(s: &str) -> Vec<u16> {
    s.encode_utf16().collect()
}

fn named_words() -> Vec<Vec<u16>> {
    let mut words: Vec<Vec<u16>> = [
        // JIS X 0212 characters, which EUC-JP leaves as references.
        "é", "ß", "丂", "鷗", "¦", "鷗外", "café",
        // Yen sign, overline and minus sign.
        "¥", "‾", "−", "¥100", "a¥b‾c\\~", "日本¥語‾", "¥‾−", "¥한", "‾é", "¥\u{1B}a", "¥ｶ", "¥😀",
        // IBM extension kanji and symbols: the FA-FC codes in Shift_JIS.
        "髙", "﨑", "德", "ⅰ", "￤", "＇", "＂", "髙橋", "Ⅰ", "￢", "∵", "㈱", "№", "≒",
        // Characters the index lacks.
        "¢", "£", "¬", "—", "‖", "〜", "～", "―", "∥", "－", "￠", "￡",
        // U+0080 and other C1 controls.
        "\u{80}", "\u{81}\u{9F}",
        // Escape sequences and shift bytes typed into the word.
        "a\u{1B}$Bb", "a\u{0E}b\u{0F}c", "\u{1B}(I1", "\u{1B}", "日\u{1B}(B本",
        // Half-width katakana.
        "ｱｲｳ", "ﾃｽﾄ", "｡｢｣､･ｰ", "ｱﾞ", "ﾞﾟ",
        // The user-defined area, outside the BMP, Korean.
        "\u{E000}", "\u{E757}", "\u{F8F0}", "😀", "𠮷野家", "한국어",
        // URL specials and plain ASCII.
        "1+1=2 a-b.c*_~%&#;", "abc", " ", "\t\r\n\u{7F}",
    ]
    .iter()
    .map(|s| units(s))
    .collect();
    // Unpaired surrogates: U+FFFD, as everywhere a form's text is made.
    words.push(vec![0x61, 0xD800, 0x62]);
    words.push(vec![0xDC00]);
    words.push(vec![0x65E5, 0xDBFF]);
    words
}

fn random_words(index: &[u16], jis0212: &[u16]) -> Vec<Vec<u16>> {
    let specials = units("¥‾−¢£¬—‖〜～\u{1B}\u{0E}\u{0F}\u{80}ﾞﾟ");
    let mut rng = Random(SEED);
    let mut words = Vec::new();
    for _ in 0..RANDOM_WORDS {
        let length = 1 + rng.below(10) as usize;
        let mut word = Vec::new();
        while word.len() < length {
            match rng.below(16) {
                0..=5 => word.push(index[rng.below(index.len() as u64) as usize]),
                6 | 7 => word.push(0x01 + rng.below(0x7F) as u16),
                8 => word.push(0xFF61 + rng.below(0x3F) as u16),
                9 => word.push(jis0212[rng.below(jis0212.len() as u64) as usize]),
                10 => word.push(0x80 + rng.below(0x80) as u16),
                11 => word.push(specials[rng.below(specials.len() as u64) as usize]),
                12 | 13 => word.push(0x80 + rng.below(0xFF80) as u16),
                _ => {
                    let c = 0x10000 + rng.below(0x100000) as u32;
                    word.push((0xD800 + ((c - 0x10000) >> 10)) as u16);
                    word.push((0xDC00 + ((c - 0x10000) & 0x3FF)) as u16);
                }
            }
        }
        words.push(word);
    }
    words
}

fn encode(encoding: &'static Encoding, word: &[u16]) -> Vec<u8> {
    let mut encoder = encoding.new_encoder();
    let mut out = vec![0u8; word.len() * 16 + 64];
    let (result, read, written, _) = encoder.encode_from_utf16(word, &mut out, true);
    assert!(result == encoding_rs::CoderResult::InputEmpty && read == word.len());
    out.truncate(written);
    out
}

// The search road joins a half-width katakana and the sound mark after it
// into one character on ISO-2022-JP, where the standard keeps them apart:
// such words have no ISO-2022-JP expectation here.
fn sound_mark_after_kana(word: &[u16]) -> bool {
    word.windows(2)
        .any(|p| (0xFF61..=0xFF9F).contains(&p[0]) && (p[1] == 0xFF9E || p[1] == 0xFF9F))
}

fn hex(bytes: &[u8]) -> String {
    let mut s = String::new();
    for b in bytes {
        write!(s, "{:02x}", b).unwrap();
    }
    s
}

fn main() {
    let version = std::env::args().nth(1).expect("usage: web_form_oracle CRATE_VERSION");
    let index = jis0208_index();
    let jis0212 = jis0212_index();
    let mut words: Vec<Vec<u16>> = index.chunks(INDEX_WORD).map(|c| c.to_vec()).collect();
    words.extend(named_words());
    words.extend(random_words(&index, &jis0212));

    println!("# Generated by tools/gen_web_form_table (tools/web_form_oracle) with encoding_rs");
    println!("# {} as Debian ships it; random words from seed {}. Do not edit; rerun the", version, SEED);
    println!("# generator instead. One word a line: its UTF-16 units (four hex digits each),");
    println!("# then its bytes from the Encoding Standard's Shift_JIS, EUC-JP and ISO-2022-JP");
    println!("# encoders, \"&#N;\" for what they cannot encode (hex); \"-\" where a half-width");
    println!("# katakana is followed by a sound mark, which the search road joins on ISO-2022-JP.");
    println!("# The first {} words are the {} code points of the JIS X 0208 index.",
             (index.len() + INDEX_WORD - 1) / INDEX_WORD, index.len());
    for word in &words {
        let mut line = String::new();
        for u in word {
            write!(line, "{:04x}", u).unwrap();
        }
        line.push(' ');
        line.push_str(&hex(&encode(SHIFT_JIS, word)));
        line.push(' ');
        line.push_str(&hex(&encode(EUC_JP, word)));
        line.push(' ');
        if sound_mark_after_kana(word) {
            line.push('-');
        } else {
            line.push_str(&hex(&encode(ISO_2022_JP, word)));
        }
        println!("{}", line);
    }
}
