// Files in the encodings other programs write: UTF-16 from spreadsheets'
// "Unicode text", Windows-1252 from older Windows programs.
#include "transfer/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvik {
namespace {

using namespace std::string_literals;

std::string decoded(std::string_view bytes, text_encoding encoding) {
  std::string text;
  std::string error;
  EXPECT_TRUE(decode_text(bytes, encoding, text, error)) << error;
  return text;
}

std::string refusal(std::string_view bytes, text_encoding encoding) {
  std::string text;
  std::string error;
  EXPECT_FALSE(decode_text(bytes, encoding, text, error)) << "read as " << text;
  return error;
}

// "Öl;€\n" and a character beyond the BMP (U+1F697, a surrogate pair).
const std::string kUtf8Text = "\xC3\x96l;\xE2\x82\xAC\n\xF0\x9F\x9A\x97";

TEST(TextEncoding, Utf16WithAByteOrderMarkIsReadInItsOrder) {
  const std::string le = "\xFF\xFE\xD6\x00l\x00;\x00\xAC\x20\n\x00\x3D\xD8\x97\xDE"s;
  const std::string be = "\xFE\xFF\x00\xD6\x00l\x00;\x20\xAC\x00\n\xD8\x3D\xDE\x97"s;
  EXPECT_EQ(guess_encoding(le).encoding, text_encoding::utf16le);
  EXPECT_EQ(guess_encoding(be).encoding, text_encoding::utf16be);
  EXPECT_FALSE(guess_encoding(le).plain);
  // The mark is no part of the text.
  EXPECT_EQ(decoded(le, text_encoding::utf16le), kUtf8Text);
  EXPECT_EQ(decoded(be, text_encoding::utf16be), kUtf8Text);
  // The user's "UTF-16" is read in the order the file shows.
  decoded_file file;
  std::string error;
  ASSERT_TRUE(decode_file(be, text_encoding::utf16le, file, error));
  EXPECT_EQ(file.encoding, text_encoding::utf16be);
  EXPECT_EQ(file.text, kUtf8Text);
}

TEST(TextEncoding, Utf16WithoutAMarkIsKnownByHalfItsUnitsHavingANul) {
  // Eight units, four of them ASCII: just UTF-16.
  const std::string le = "D\x00" "a\x00" "t\x00" "e\x00" "\xAC\x20\xAC\x20\xAC\x20\xAC\x20"s;
  EXPECT_EQ(guess_encoding(le).encoding, text_encoding::utf16le);
  EXPECT_EQ(decoded(le, text_encoding::utf16le), "Date\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC");
  std::string be = le;
  for (std::size_t i = 0; i < be.size(); i += 2) std::swap(be[i], be[i + 1]);
  EXPECT_EQ(guess_encoding(be).encoding, text_encoding::utf16be);
  EXPECT_EQ(utf16_order(be), text_encoding::utf16be);
  // Three of eight: text with a few NULs, not UTF-16.
  const std::string fewer = "D\x00" "a\x00" "t\x00" "ee\xAC\x20\xAC\x20\xAC\x20\xAC\x20"s;
  EXPECT_NE(guess_encoding(fewer).encoding, text_encoding::utf16le);
  // NULs on both sides alike say nothing of the order.
  EXPECT_EQ(guess_encoding("\0\0\0\0"s).encoding, text_encoding::utf8);
  EXPECT_EQ(utf16_order("ab"), std::nullopt);
}

TEST(TextEncoding, BrokenUtf16IsReportedWithItsLineNeverReadAsSomethingElse) {
  EXPECT_EQ(refusal("\xFF\xFE" "a\x00" "b"s, text_encoding::utf16le),
            "it ends inside a UTF-16 character (an odd number of bytes)");
  // A high surrogate with no low one after it: before a letter, at the end.
  EXPECT_EQ(refusal("a\x00\n\x00\n\x00\x3D\xD8" "b\x00"s, text_encoding::utf16le),
            "a lone UTF-16 surrogate (U+D83D) on line 3");
  EXPECT_EQ(refusal("\xD8\x3D"s, text_encoding::utf16be),
            "a lone UTF-16 surrogate (U+D83D) on line 1");
  // A low one first.
  EXPECT_EQ(refusal("\xDE\x97\xD8\x3D"s, text_encoding::utf16be),
            "a lone UTF-16 surrogate (U+DE97) on line 1");
  decoded_file file;
  std::string error;
  EXPECT_FALSE(decode_file("\xFF\xFE\x3D\xD8"s, std::nullopt, file, error));
  EXPECT_EQ(error, "a lone UTF-16 surrogate (U+D83D) on line 1");
}

TEST(TextEncoding, AFileThatIsNoUtf8IsReadAsWindows1252) {
  // "Ölwechsel;12,50 €" and „quotes“ – dashes … as Windows-1252 writes them.
  const std::string bytes = "\xD6lwechsel;12,50 \x80;Bremsbel\xE4ge \x84x\x93 \x96 \x97 \x85\n";
  const encoding_guess guess = guess_encoding(bytes);
  EXPECT_EQ(guess.encoding, text_encoding::windows1252);
  EXPECT_FALSE(guess.plain);
  EXPECT_EQ(decoded(bytes, text_encoding::windows1252),
            "\xC3\x96lwechsel;12,50 \xE2\x82\xAC;Bremsbel\xC3\xA4ge \xE2\x80\x9Ex\xE2\x80\x9C "
            "\xE2\x80\x93 \xE2\x80\x94 \xE2\x80\xA6\n");
  // Unassigned bytes keep their value rather than vanish.
  EXPECT_EQ(decoded("\x81\x9D\x9F", text_encoding::windows1252), "\xC2\x81\xC2\x9D\xC5\xB8");
}

TEST(TextEncoding, Utf8IsTakenAsItIsAndNotCopied) {
  for (const std::string& text : {kUtf8Text, "\xEF\xBB\xBF" + kUtf8Text, "plain;ascii\n"s}) {
    const encoding_guess guess = guess_encoding(text);
    EXPECT_EQ(guess.encoding, text_encoding::utf8) << text;
    EXPECT_TRUE(guess.plain) << text;
  }
  std::string large(100000, 'x');
  large += kUtf8Text;
  const char* const buffer = large.data();
  decoded_file file;
  std::string error;
  ASSERT_TRUE(decode_file(std::move(large), std::nullopt, file, error));
  EXPECT_TRUE(file.plain);
  EXPECT_EQ(file.text.data(), buffer) << "copied";
  EXPECT_TRUE(file.bytes.empty());
}

TEST(TextEncoding, AStrayByteInUtf8KeepsItUtf8OnlyWhereRealCharactersOutnumberIt) {
  // Two characters of two bytes ("ä", "ö") and one stray byte.
  const std::string stray = "B\xC3\xA4 \xC3\xB6 \xE4";
  const encoding_guess guess = guess_encoding(stray);
  EXPECT_EQ(guess.encoding, text_encoding::utf8);
  EXPECT_FALSE(guess.plain) << "to be shown";
  decoded_file file;
  std::string error;
  ASSERT_TRUE(decode_file(stray, std::nullopt, file, error));
  EXPECT_EQ(file.text, stray);
  EXPECT_EQ(file.bytes, stray) << "kept, to be read anew as another encoding";
  // One of each: as likely Windows-1252 text that happens to hold "Ã¤".
  EXPECT_EQ(guess_encoding("B\xC3\xA4 \xE4").encoding, text_encoding::windows1252);
  // Forms that are no UTF-8 count as stray bytes: overlong, surrogate, past U+10FFFF.
  EXPECT_EQ(guess_encoding("\xC0\xAF").encoding, text_encoding::windows1252);
  EXPECT_EQ(guess_encoding("\xED\xA0\x80").encoding, text_encoding::windows1252);
  EXPECT_EQ(guess_encoding("\xF4\x90\x80\x80").encoding, text_encoding::windows1252);
  EXPECT_EQ(guess_encoding("\xC3").encoding, text_encoding::windows1252);
}

}  // namespace
}  // namespace tarvik
