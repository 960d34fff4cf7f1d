// The pairs of transcode_throughput through encoding_rs, behind one C
// function. Each call converts a whole input into a caller-owned buffer with
// the converters' "without replacement" entry points (the fastest ones), and
// returns the output length, or usize::MAX when the input holds something
// the converter rejects or the buffer is too small.
use encoding_rs::{DecoderResult, EncoderResult, EUC_JP, ISO_2022_JP, SHIFT_JIS, UTF_8};
use std::slice;

const FAILED: usize = usize::MAX;

fn decode_to_utf8(enc: &'static encoding_rs::Encoding, src: &[u8], dst: &mut [u8]) -> usize {
    let mut d = enc.new_decoder_without_bom_handling();
    match d.decode_to_utf8_without_replacement(src, dst, true) {
        (DecoderResult::InputEmpty, read, written) if read == src.len() => written,
        _ => FAILED,
    }
}

fn utf8_to_utf16(src: &[u8], dst: &mut [u8]) -> usize {
    if dst.as_ptr() as usize % 2 != 0 {
        return FAILED;
    }
    let units = unsafe { slice::from_raw_parts_mut(dst.as_mut_ptr() as *mut u16, dst.len() / 2) };
    let mut d = UTF_8.new_decoder_without_bom_handling();
    match d.decode_to_utf16_without_replacement(src, units, true) {
        (DecoderResult::InputEmpty, read, written) if read == src.len() => {
            if cfg!(target_endian = "big") {
                for u in &mut units[..written] {
                    *u = u.to_le();
                }
            }
            written * 2
        }
        _ => FAILED,
    }
}

// UTF-16LE bytes as units (the caller's buffers are aligned).
fn units_of(src: &[u8]) -> Option<&[u16]> {
    if src.as_ptr() as usize % 2 != 0 || src.len() % 2 != 0 || cfg!(target_endian = "big") {
        return None;
    }
    Some(unsafe { slice::from_raw_parts(src.as_ptr() as *const u16, src.len() / 2) })
}

fn decode_to_utf16(enc: &'static encoding_rs::Encoding, src: &[u8], dst: &mut [u8]) -> usize {
    if dst.as_ptr() as usize % 2 != 0 || cfg!(target_endian = "big") {
        return FAILED;
    }
    let units = unsafe { slice::from_raw_parts_mut(dst.as_mut_ptr() as *mut u16, dst.len() / 2) };
    let mut d = enc.new_decoder_without_bom_handling();
    match d.decode_to_utf16_without_replacement(src, units, true) {
        (DecoderResult::InputEmpty, read, written) if read == src.len() => written * 2,
        _ => FAILED,
    }
}

fn encode_from_utf16(enc: &'static encoding_rs::Encoding, src: &[u8], dst: &mut [u8]) -> usize {
    let units = match units_of(src) {
        Some(u) => u,
        None => return FAILED,
    };
    let mut e = enc.new_encoder();
    match e.encode_from_utf16_without_replacement(units, dst, true) {
        (EncoderResult::InputEmpty, read, written) if read == units.len() => written,
        _ => FAILED,
    }
}

fn utf8_to_sjis(src: &[u8], dst: &mut [u8]) -> usize {
    utf8_to(SHIFT_JIS, src, dst)
}

fn utf8_to(enc: &'static encoding_rs::Encoding, src: &[u8], dst: &mut [u8]) -> usize {
    // The input is checked as UTF-8 like every other input of a converter.
    let text = match std::str::from_utf8(src) {
        Ok(t) => t,
        Err(_) => return FAILED,
    };
    let mut e = enc.new_encoder();
    match e.encode_from_utf8_without_replacement(text, dst, true) {
        (EncoderResult::InputEmpty, read, written) if read == src.len() => written,
        _ => FAILED,
    }
}

// encoding_rs converts between legacy encodings only through Unicode: the
// Shift_JIS text goes to UTF-16 and on to EUC-JP.
fn sjis_to_euc(src: &[u8], dst: &mut [u8], middle: &mut Vec<u16>) -> usize {
    middle.resize(src.len() + 16, 0);
    let mut d = SHIFT_JIS.new_decoder_without_bom_handling();
    let units = match d.decode_to_utf16_without_replacement(src, middle, true) {
        (DecoderResult::InputEmpty, read, written) if read == src.len() => written,
        _ => return FAILED,
    };
    let mut e = EUC_JP.new_encoder();
    match e.encode_from_utf16_without_replacement(&middle[..units], dst, true) {
        (EncoderResult::InputEmpty, read, written) if read == units => written,
        _ => FAILED,
    }
}

thread_local! {
    static MIDDLE: std::cell::RefCell<Vec<u16>> = std::cell::RefCell::new(Vec::new());
}

/// pair: 0 CP932 -> UTF-8, 1 EUC-JP -> UTF-8, 2 UTF-8 -> CP932,
/// 3 UTF-8 -> UTF-16LE, 4 CP932 -> EUC-JP, 5 UTF-16LE -> CP932,
/// 6 UTF-16LE -> EUC-JP, 7 UTF-16LE -> ISO-2022-JP, 8 CP932 -> UTF-16LE,
/// 9 EUC-JP -> UTF-16LE, 10 ISO-2022-JP -> UTF-8, 11 UTF-8 -> ISO-2022-JP.
#[no_mangle]
pub unsafe extern "C" fn encoding_rs_peer_convert(
    pair: u32,
    src: *const u8,
    src_len: usize,
    dst: *mut u8,
    dst_len: usize,
) -> usize {
    let src = slice::from_raw_parts(src, src_len);
    let dst = slice::from_raw_parts_mut(dst, dst_len);
    match pair {
        0 => decode_to_utf8(SHIFT_JIS, src, dst),
        1 => decode_to_utf8(EUC_JP, src, dst),
        2 => utf8_to_sjis(src, dst),
        3 => utf8_to_utf16(src, dst),
        4 => MIDDLE.with(|m| sjis_to_euc(src, dst, &mut m.borrow_mut())),
        5 => encode_from_utf16(SHIFT_JIS, src, dst),
        6 => encode_from_utf16(EUC_JP, src, dst),
        7 => encode_from_utf16(ISO_2022_JP, src, dst),
        8 => decode_to_utf16(SHIFT_JIS, src, dst),
        9 => decode_to_utf16(EUC_JP, src, dst),
        10 => decode_to_utf8(ISO_2022_JP, src, dst),
        11 => utf8_to(ISO_2022_JP, src, dst),
        _ => FAILED,
    }
}
