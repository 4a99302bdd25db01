// Mnemonic markers of menu labels: "&x" marks x as the keyboard letter of the label,
// "&&" is a literal "&". Shared by the menu and the menu bar; each includes it and gets
// its own internal copy of parse_mnemonic.
#pragma once

#include <string>

namespace {

// Length of the UTF-8 character that starts with lead byte c (1 for any byte that is
// no multi-byte lead).
inline int utf8_char_length(unsigned char c) {
  if ((c & 0xE0) == 0xC0) return 2;
  if ((c & 0xF0) == 0xE0) return 3;
  if ((c & 0xF8) == 0xF0) return 4;
  return 1;
}

// Splits a label into the text to show (clean) and the byte offset and length of the
// marked character in it (-1 and 0 without marker). A later marker replaces an earlier
// one; a lone "&" at the end marks nothing; a character cut off by the end of the
// label is copied as far as it goes.
[[maybe_unused]] void parse_mnemonic(const std::string& label, std::string& clean,
                                     int& mnemonicOffset, int& mnemonicLength) {
  clean.clear();
  mnemonicOffset = -1;
  mnemonicLength = 0;
  const size_t n = label.size();
  size_t i = 0;
  while (i < n) {
    if (label[i] == '&') {
      if (i + 1 < n && label[i + 1] == '&') {
        clean += '&';
        i += 2;
        continue;
      }
      ++i;
      if (i >= n) break;  // a final lone "&" marks nothing
      size_t len = static_cast<size_t>(utf8_char_length(static_cast<unsigned char>(label[i])));
      if (i + len > n) len = n - i;
      mnemonicOffset = static_cast<int>(clean.size());
      mnemonicLength = static_cast<int>(len);
      clean.append(label, i, len);
      i += len;
      continue;
    }
    size_t len = static_cast<size_t>(utf8_char_length(static_cast<unsigned char>(label[i])));
    if (i + len > n) len = n - i;
    clean.append(label, i, len);
    i += len;
  }
}

}  // namespace
