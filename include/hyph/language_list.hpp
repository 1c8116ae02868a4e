// The 73 built-in languages, in their fixed order (ordinals 0 to 72): the one
// list of them, from which the enumeration, the table of names, affixes and
// minimums, and the shared Hyphenator of each language are made. Adding a
// language is a line here and its four files in data/.
//
//   X(Enumerator, function, "affix", left minimum, right minimum)
//
// The function, which gives the language's shared Hyphenator, is the
// enumerator's name with its first letter in lower case. The affix names
// the data files (data/hyph-<affix>.<kind>.txt.gz); tools/import-patterns
// reads the affixes from here.
#pragma once

// clang-format off
#define HYPH_LANGUAGES(X) \
  X(Afrikaans, afrikaans, "af", 1, 2) \
  X(Armenian, armenian, "hy", 1, 2) \
  X(Assamese, assamese, "as", 1, 1) \
  X(Basque, basque, "eu", 2, 2) \
  X(Bengali, bengali, "bn", 1, 1) \
  X(Bulgarian, bulgarian, "bg", 2, 2) \
  X(Catalan, catalan, "ca", 2, 2) \
  X(Chinese, chinese, "zh-latn-pinyin", 1, 1) \
  X(Coptic, coptic, "cop", 1, 1) \
  X(Croatian, croatian, "hr", 2, 2) \
  X(Czech, czech, "cs", 2, 3) \
  X(Danish, danish, "da", 2, 2) \
  X(Dutch, dutch, "nl", 2, 2) \
  X(English_US, english_US, "en-us", 2, 3) \
  X(English_GB, english_GB, "en-gb", 2, 3) \
  X(Esperanto, esperanto, "eo", 2, 2) \
  X(Estonian, estonian, "et", 2, 3) \
  X(Ethiopic, ethiopic, "mul-ethi", 1, 1) \
  X(Finnish, finnish, "fi", 2, 2) \
  X(French, french, "fr", 2, 3) \
  X(Friulan, friulan, "fur", 2, 2) \
  X(Galician, galician, "gl", 2, 2) \
  X(Georgian, georgian, "ka", 1, 2) \
  X(German_1901, german_1901, "de-1901", 2, 2) \
  X(German_1996, german_1996, "de-1996", 2, 2) \
  X(German_Swiss, german_Swiss, "de-ch-1901", 2, 2) \
  X(Greek_Ancient, greek_Ancient, "grc", 1, 1) \
  X(Greek_Mono, greek_Mono, "el-monoton", 1, 1) \
  X(Greek_Poly, greek_Poly, "el-polyton", 1, 1) \
  X(Gujarati, gujarati, "gu", 1, 1) \
  X(Hindi, hindi, "hi", 1, 1) \
  X(Hungarian, hungarian, "hu", 2, 2) \
  X(Icelandic, icelandic, "is", 2, 2) \
  X(Indonesian, indonesian, "id", 2, 2) \
  X(Interlingua, interlingua, "ia", 2, 2) \
  X(Irish, irish, "ga", 2, 3) \
  X(Italian, italian, "it", 2, 2) \
  X(Kannada, kannada, "kn", 1, 1) \
  X(Kurmanji, kurmanji, "kmr", 2, 2) \
  X(Latin, latin, "la", 2, 2) \
  X(Latin_Classic, latin_Classic, "la-x-classic", 2, 2) \
  X(Latvian, latvian, "lv", 2, 2) \
  X(Lithuanian, lithuanian, "lt", 2, 2) \
  X(Malayalam, malayalam, "ml", 1, 1) \
  X(Marathi, marathi, "mr", 1, 1) \
  X(Mongolian, mongolian, "mn-cyrl", 2, 2) \
  X(Norwegian_Bokmal, norwegian_Bokmal, "nb", 2, 2) \
  X(Norwegian_Nynorsk, norwegian_Nynorsk, "nn", 2, 2) \
  X(Occitan, occitan, "oc", 2, 2) \
  X(Oriya, oriya, "or", 1, 1) \
  X(Panjabi, panjabi, "pa", 1, 1) \
  X(Piedmontese, piedmontese, "pms", 2, 2) \
  X(Polish, polish, "pl", 2, 2) \
  X(Portuguese, portuguese, "pt", 2, 3) \
  X(Romanian, romanian, "ro", 2, 2) \
  X(Romansh, romansh, "rm", 2, 2) \
  X(Russian, russian, "ru", 2, 2) \
  X(Sanskrit, sanskrit, "sa", 1, 3) \
  X(Serbian_Cyrillic, serbian_Cyrillic, "sr-cyrl", 2, 2) \
  X(Serbocroatian_Cyrillic, serbocroatian_Cyrillic, "sh-cyrl", 2, 2) \
  X(Serbocroatian_Latin, serbocroatian_Latin, "sh-latn", 2, 2) \
  X(Slovak, slovak, "sk", 2, 3) \
  X(Slovenian, slovenian, "sl", 2, 2) \
  X(Spanish, spanish, "es", 2, 2) \
  X(Swedish, swedish, "sv", 2, 2) \
  X(Tamil, tamil, "ta", 1, 1) \
  X(Telugu, telugu, "te", 1, 1) \
  X(Thai, thai, "th", 2, 3) \
  X(Turkish, turkish, "tr", 2, 2) \
  X(Turkmen, turkmen, "tk", 2, 2) \
  X(Ukrainian, ukrainian, "uk", 2, 2) \
  X(Uppersorbian, uppersorbian, "hsb", 2, 2) \
  X(Welsh, welsh, "cy", 2, 3)
// clang-format on
