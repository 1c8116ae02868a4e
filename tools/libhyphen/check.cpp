// Compares hyph's reading of a libhyphen dictionary with libhyphen itself,
// word by word:
//
//   check DICTIONARY WORDLIST [MAX_WORDS]
//   check --print DICTIONARY WORDLIST      libhyphen's answers alone
//
// Each word of the list (UTF-8, one a line) is lower-cased (towlower, as
// LibreOffice lower-cases before it asks), converted to the dictionary's
// encoding and broken by hnj_hyphen_hyphenate3 with no minimums of the
// caller's; hyph gets the word as written. The breaks must be the same, and
// for a non-standard break the same text on either side. Prints each
// difference (up to 20) and a summary; exit status 1 when any word differs.
#include <hyphen.h>
#include <iconv.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <fstream>
#include <hyph/hyph.hpp>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string readFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "check: cannot read %s\n", path);
    std::exit(2);
  }
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::u32string decodeUtf8(const std::string& s) {
  std::u32string out;
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    char32_t cp = n == 1 ? c : n == 2 ? c & 0x1F : n == 3 ? c & 0x0F : c & 0x07;
    for (int k = 1; k < n && i + k < s.size(); ++k) cp = cp << 6 | (s[i + k] & 0x3F);
    out += cp;
    i += n;
  }
  return out;
}

std::string encodeUtf8(std::u32string_view s) {
  std::string out;
  for (char32_t c : s) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

/// Converts with iconv; false when a character does not fit.
bool convert(iconv_t cd, const std::string& in, std::string& out) {
  out.assign(in.size() * 4 + 8, '\0');
  char* from = const_cast<char*>(in.data());
  std::size_t fromLeft = in.size();
  char* to = out.data();
  std::size_t toLeft = out.size();
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &from, &fromLeft, &to, &toLeft) == static_cast<std::size_t>(-1)) return false;
  out.resize(out.size() - toLeft);
  return true;
}

/// libhyphen's answer for a word in the dictionary's encoding, written out
/// as the word with "=" at each break and non-standard breaks spelt out, in
/// UTF-8.
std::string libhyphenAnswer(HyphenDict* dict, const std::string& word, iconv_t back, bool utf8) {
  const int size = static_cast<int>(word.size());
  std::vector<char> hyphens(word.size() + 5);
  char** rep = nullptr;
  int* pos = nullptr;
  int* cut = nullptr;
  hnj_hyphen_hyphenate3(dict, word.c_str(), size, hyphens.data(), nullptr, &rep, &pos, &cut, 0, 0, 0,
                        0);
  // After the call the entries are per character (for UTF-8) or per byte.
  std::vector<std::string> letters;
  for (int i = 0; i < size;) {
    int n = 1;
    if (utf8)
      while (i + n < size && (static_cast<unsigned char>(word[i + n]) & 0xC0) == 0x80) ++n;
    letters.push_back(word.substr(i, n));
    i += n;
  }
  std::string out;
  const int count = static_cast<int>(letters.size());
  for (int i = 0; i < count; ++i) {
    if (hyphens[i] & 1) {
      if (rep && rep[i]) {
        // As hnj_hyphen_hyphword writes it: the replacement stands for the
        // `cut` letters from pos - 1 letters before this one.
        const int first = i - pos[i] + 1;
        for (int k = i - 1; k >= first; --k) out.erase(out.size() - letters[k].size());
        out += rep[i];
        i = first + cut[i] - 1;
        continue;
      }
      out += letters[i];
      out += '=';
    } else {
      out += letters[i];
    }
  }
  if (rep) {
    for (int i = 0; i < size; ++i) std::free(rep[i]);
    std::free(rep);
    std::free(pos);
    std::free(cut);
  }
  if (utf8) return out;
  std::string converted;
  if (!convert(back, out, converted)) return "?";
  return converted;
}

std::string hyphAnswer(const hyph::Hyphenator& h, const std::string& word) {
  return hyph::join(hyph::hyphenate(h, word), "=");
}

std::string lowered(const std::string& word) {
  std::u32string text = decodeUtf8(word);
  for (char32_t& c : text) c = static_cast<char32_t>(std::towlower(static_cast<wint_t>(c)));
  return encodeUtf8(text);
}

}  // namespace

int main(int argc, char** argv) {
  const bool print = argc > 1 && std::strcmp(argv[1], "--print") == 0;
  if (print) {
    --argc;
    ++argv;
  }
  if (argc < 3) {
    std::fprintf(stderr, "usage: check DICTIONARY WORDLIST [MAX_WORDS]\n");
    return 2;
  }
  std::setlocale(LC_CTYPE, "C.UTF-8");
  const std::size_t maxWords = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : ~std::size_t{0};
  const std::string bytes = readFile(argv[1]);
  const hyph::Hyphenator h = print ? hyph::english_US() : hyph::readDictionary({argv[1], bytes});
  HyphenDict* dict = hnj_hyphen_load(argv[1]);
  if (!dict) {
    std::fprintf(stderr, "check: libhyphen cannot load %s\n", argv[1]);
    return 2;
  }
  const bool utf8 = std::strcmp(dict->cset, "UTF-8") == 0;
  std::string charset = dict->cset;
  if (charset.starts_with("microsoft-")) charset = charset.substr(10);
  iconv_t to = utf8 ? iconv_t(-1) : iconv_open(charset.c_str(), "UTF-8");
  iconv_t back = utf8 ? iconv_t(-1) : iconv_open("UTF-8", charset.c_str());
  if (!utf8 && (to == iconv_t(-1) || back == iconv_t(-1))) {
    std::fprintf(stderr, "check: iconv knows no %s\n", dict->cset);
    return 2;
  }

  std::ifstream list(argv[2]);
  std::string word;
  std::size_t words = 0, differing = 0, skipped = 0;
  while (words < maxWords && std::getline(list, word)) {
    if (word.empty()) continue;
    const std::string lower = lowered(word);
    if (decodeUtf8(lower).size() != decodeUtf8(word).size()) {
      ++skipped;
      continue;
    }
    std::string encoded;
    if (!utf8 && !convert(to, lower, encoded)) {
      ++skipped;  // not a word of the dictionary's encoding
      continue;
    }
    ++words;
    const std::string expected = libhyphenAnswer(dict, utf8 ? lower : encoded, back, utf8);
    if (print) {
      std::printf("%s %s\n", word.c_str(), expected.c_str());
      continue;
    }
    const std::string got = lowered(hyphAnswer(h, word));
    if (expected != got) {
      if (++differing <= 20)
        std::printf("%s: libhyphen %s, hyph %s\n", word.c_str(), expected.c_str(), got.c_str());
    }
  }
  std::printf("%s: %zu words, %zu differ, %zu skipped\n", argv[1], words, differing, skipped);
  hnj_hyphen_free(dict);
  return differing == 0 ? 0 : 1;
}
