#ifndef TARVIK_TRANSFER_TEXT_ENCODING_H_
#define TARVIK_TRANSFER_TEXT_ENCODING_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The encodings other programs write their exports in, read into the UTF-8
// the import works with: spreadsheets save "Unicode text" as UTF-16, older
// Windows programs write Windows-1252.
namespace tarvik {

enum class text_encoding { utf8, utf16le, utf16be, windows1252 };

struct encoding_guess {
  text_encoding encoding = text_encoding::utf8;
  // UTF-8 with every byte valid: nothing about the reading is worth a word.
  bool plain = true;
};

// The encoding `bytes` are most likely written in:
// - the one a byte-order mark names (EF BB BF, FF FE, FE FF);
// - UTF-16 when, in the first 4096 bytes, at least every second of the
//   two-byte units has a NUL as its second byte (LE) or first byte (BE),
//   and the other byte is NUL less often: text of ASCII written so;
// - UTF-8 when every byte is valid UTF-8, and also when valid characters of
//   several bytes outnumber the bytes that are not valid (a UTF-8 file with
//   a stray byte: those bytes are kept as they are, not plain);
// - else Windows-1252 (which reads ISO-8859-1's printable text alike).
encoding_guess guess_encoding(std::string_view bytes);

// The UTF-16 byte order a byte-order mark or the NUL pattern shows;
// nullopt when they show none.
std::optional<text_encoding> utf16_order(std::string_view bytes);

// "UTF-8", "UTF-16 LE", "UTF-16 BE", "Windows-1252".
const char* encoding_name(text_encoding encoding);

// The encoding a user names, in any letter case: utf-8 (utf8), utf-16
// (utf16: little-endian, see decode_file), windows-1252 (cp1252,
// iso-8859-1, latin-1). nullopt for another name.
std::optional<text_encoding> encoding_named(std::string_view name);

// `bytes` written in `encoding`, as UTF-8 into `text`, a UTF-16 byte-order
// mark left out. UTF-8 is copied as it is (a UTF-8 byte-order mark, and
// bytes that are not valid, included): callers that have the bytes to give
// away use decode_file. False, with the reason (and line) in `error`, for
// UTF-16 that cannot be read: an odd number of bytes, a lone surrogate.
// Windows-1252's five unassigned bytes are read as the control characters
// of their value, as ISO-8859-1 has them.
bool decode_text(std::string_view bytes, text_encoding encoding, std::string& text,
                 std::string& error);

// A file's text as the import reads it.
struct decoded_file {
  std::string text;  // UTF-8 (but for a UTF-8 file's invalid bytes)
  text_encoding encoding = text_encoding::utf8;
  bool plain = true;    // UTF-8, every byte valid (see encoding_guess)
  bool guessed = true;  // the encoding was not chosen but guessed
  std::string bytes;    // the file's own bytes unless plain: to read anew
};

// `bytes` read as `chosen`, else as guessed. UTF-16 is read in the byte
// order the bytes show (utf16_order), the one chosen only where they show
// none: the user chooses UTF-16, the file knows its order. Plain UTF-8 is
// moved, never copied. False, with the reason in `error`, where decode_text fails.
bool decode_file(std::string bytes, std::optional<text_encoding> chosen, decoded_file& file,
                 std::string& error);

}  // namespace tarvik

#endif  // TARVIK_TRANSFER_TEXT_ENCODING_H_
