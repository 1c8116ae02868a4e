/* The C interface, from C99. Exits non-zero at the first failed check. */
#include <stdio.h>
#include <string.h>

#include "hyph/hyph.h"

static int failures = 0;
#define CHECK(condition)                                                      \
  do {                                                                        \
    if (!(condition)) {                                                       \
      fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
      ++failures;                                                             \
    }                                                                         \
  } while (0)

int main(void) {
  const hyph_hyphenator* english = NULL;
  const hyph_hyphenator* german = NULL;
  const hyph_hyphenator* missing = NULL;
  size_t breaks[16];
  size_t count = 99;
  char out[256];
  size_t size = 0;

  CHECK(strcmp(hyph_version(), "") != 0);
  CHECK(hyph_language_count() == 73);
  CHECK(strcmp(hyph_language_name(13), "English_US") == 0);
  CHECK(strcmp(hyph_language_affix(72), "cy") == 0);
  CHECK(hyph_language_name(73) == NULL);

  CHECK(hyph_language("en-us", &english) == HYPH_OK && english != NULL);
  CHECK(hyph_language("GERMAN_1996", &german) == HYPH_OK && german != NULL);
  CHECK(hyph_language("klingon", &missing) == HYPH_UNKNOWN_LANGUAGE && missing == NULL);
  CHECK(strstr(hyph_last_error(), "klingon") != NULL);
  CHECK(hyph_language("germn", &missing) == HYPH_UNKNOWN_LANGUAGE);
  CHECK(strcmp(hyph_last_error(),
               "unknown language 'germn'; did you mean German_1996, German_1901, German_Swiss?") ==
        0);
  CHECK(hyph_language(NULL, &missing) == HYPH_INVALID_ARGUMENT);

  CHECK(hyph_break_points(english, "hyphenation", 11, breaks, 16, &count) == HYPH_OK);
  CHECK(count == 2 && breaks[0] == 2 && breaks[1] == 6);
  CHECK(hyph_break_points(german,
                          "Stra\xC3\x9F"
                          "enbahn",
                          12, breaks, 16, &count) == HYPH_OK);
  CHECK(count == 2 && breaks[0] == 4 && breaks[1] == 8);
  CHECK(hyph_break_points(english, "documentation", 13, breaks, 1, &count) ==
        HYPH_BUFFER_TOO_SMALL);
  CHECK(count == 4);
  CHECK(hyph_break_points(english, NULL, 0, breaks, 16, &count) == HYPH_OK && count == 0);
  CHECK(hyph_break_points(NULL, "x", 1, breaks, 16, &count) == HYPH_INVALID_ARGUMENT);

  CHECK(hyph_hyphenate_text(english, "Hyphenation works.", 18, "-", 1, HYPH_TEXT_PLAIN, NULL, 0,
                            &size) == HYPH_BUFFER_TOO_SMALL);
  CHECK(size == 20);
  CHECK(hyph_hyphenate_text(english, "Hyphenation works.", 18, "-", 1, HYPH_TEXT_PLAIN, out,
                            sizeof out, &size) == HYPH_OK);
  CHECK(size == 20 && memcmp(out, "Hy-phen-ation works.", 20) == 0);
  CHECK(hyph_hyphenate_text(english, "<b>hyphenation</b>", 18, "|", 1, HYPH_TEXT_HTML, out,
                            sizeof out, &size) == HYPH_OK);
  CHECK(size == 20 && memcmp(out, "<b>hy|phen|ation</b>", 20) == 0);

  /* Compounds at their hyphen only, and code left whole. */
  CHECK(hyph_hyphenate_text(english, "non-documentation LC_CTYPE", 26, "|", 1,
                            HYPH_TEXT_HYPHENS_ONLY | HYPH_TEXT_SKIP_CODE, out, sizeof out,
                            &size) == HYPH_OK);
  CHECK(size == 26 && memcmp(out, "non-documentation LC_CTYPE", 26) == 0);
  CHECK(hyph_hyphenate_text(english, "non-documentation", 17, "|", 1, HYPH_TEXT_PLAIN, out,
                            sizeof out, &size) == HYPH_OK);
  CHECK(size == 21 && memcmp(out, "non-doc|u|men|ta|tion", 21) == 0);

  /* Unknown flag bits mean nothing: refused. */
  CHECK(hyph_hyphenate_text(english, "x", 1, "-", 1, 8, out, sizeof out, &size) == HYPH_INVALID_ARGUMENT);

  /* Pieces point into the word. */
  {
    hyph_piece pieces[8];
    const char* word = "hyphenation";
    CHECK(hyph_pieces(english, word, 11, pieces, 8, &count) == HYPH_OK && count == 3);
    CHECK(pieces[0].data == word && pieces[0].size == 2);
    CHECK(pieces[1].data == word + 2 && pieces[1].size == 4);
    CHECK(pieces[2].data == word + 6 && pieces[2].size == 5);
    CHECK(hyph_pieces(english, word, 11, pieces, 2, &count) == HYPH_BUFFER_TOO_SMALL && count == 3);
    CHECK(hyph_pieces(english, "", 0, pieces, 8, &count) == HYPH_OK && count == 1 &&
          pieces[0].size == 0);
  }

  /* Wrapping: the latest break that fits. */
  {
    size_t cut = 99;
    CHECK(hyph_wrap(english, "hyphenation", 11, 8, 1, &cut) == HYPH_OK && cut == 6);
    CHECK(hyph_wrap(english, "hyphenation", 11, 2, 1, &cut) == HYPH_OK && cut == 0);
  }

  /* Words of the caller's own over English's exceptions. */
  {
    hyph_hyphenator* own = NULL;
    const char* words = "asso-ciate\n";
    CHECK(hyph_with_words(english, words, strlen(words), &own) == HYPH_OK);
    CHECK(hyph_hyphenate_text(own, "associate table", 15, "-", 1, HYPH_TEXT_PLAIN, out, sizeof out,
                              &size) == HYPH_OK);
    CHECK(size == 17 && memcmp(out, "asso-ciate ta-ble", 17) == 0);
    hyph_free(own);
    CHECK(hyph_with_words(english, "bad1", 4, &own) == HYPH_FAILED);
    CHECK(strcmp(hyph_last_error(), "words:1: a digit in the exception word 'bad1'") == 0);
    CHECK(hyph_with_words(NULL, words, 1, &own) == HYPH_INVALID_ARGUMENT);
  }

  /* A libhyphen dictionary, whose non-standard break rewrites the word:
     Hungarian "asszonnyal" as "asszony-nyal". */
  {
    const char* dic = "UTF-8\nLEFTHYPHENMIN 2\nRIGHTHYPHENMIN 2\no1n\nn5nyal/ny=ny,1,3\n";
    const char* word = "asszonnyal";
    hyph_hyphenator* hu = NULL;
    hyph_break found[4];
    size_t first = 0, second = 0, cut = 0;
    CHECK(hyph_read_dictionary(dic, strlen(dic), &hu) == HYPH_OK && hu != NULL);
    CHECK(hyph_breaks(hu, word, 10, found, 4, &count) == HYPH_OK && count == 2);
    CHECK(found[0].position == 5 && found[0].start == 5 && found[0].end == 5);
    CHECK(found[0].before_size == 0 && found[0].after_size == 0);
    CHECK(found[1].position == 6 && found[1].start == 5 && found[1].end == 8);
    CHECK(found[1].before_size == 2 && found[1].after_size == 2);
    CHECK(hyph_breaks(hu, word, 10, found, 1, &count) == HYPH_BUFFER_TOO_SMALL && count == 2);
    CHECK(hyph_split(hu, word, 10, 6, out, sizeof out, &first, &second) == HYPH_OK);
    CHECK(first == 7 && second == 4 && memcmp(out, "asszonynyal", 11) == 0);
    CHECK(hyph_split(hu, word, 10, 6, out, 10, &first, &second) == HYPH_BUFFER_TOO_SMALL &&
          first + second == 11);
    CHECK(hyph_split(hu, word, 10, 4, out, sizeof out, &first, &second) == HYPH_INVALID_ARGUMENT);
    CHECK(hyph_wrap(hu, word, 10, 8, 1, &cut) == HYPH_OK && cut == 6);
    CHECK(hyph_wrap(hu, word, 10, 7, 1, &cut) == HYPH_OK && cut == 5);
    CHECK(hyph_wrap(hu, word, 10, 5, 1, &cut) == HYPH_OK && cut == 0);
    CHECK(hyph_hyphenate_text(hu, word, 10, "-", 1, HYPH_TEXT_PLAIN, out, sizeof out, &size) ==
          HYPH_OK);
    CHECK(size == 13 && memcmp(out, "asszo-ny-nyal", 13) == 0);
    hyph_free(hu);
    hu = NULL;
    CHECK(hyph_read_dictionary("EBCDIC\n1a\n", 10, &hu) == HYPH_FAILED && hu == NULL);
    CHECK(strcmp(hyph_last_error(), "dictionary:1: unknown encoding \"EBCDIC\"") == 0);
    CHECK(hyph_read_dictionary(NULL, 1, &hu) == HYPH_INVALID_ARGUMENT);
  }

  /* Hyphenators of the caller's own: patterns of its own over English, then
     other minimums; a refused text names its line. */
  {
    hyph_hyphenator* mine = NULL;
    hyph_hyphenator* looser = NULL;
    hyph_hyphenator* bad = NULL;
    CHECK(hyph_create(english, NULL, 0, "1B\r\n1C\r\n", 8, NULL, 0, &mine) == HYPH_OK);
    CHECK(hyph_left_min(mine) == 2 && hyph_right_min(mine) == 3);
    CHECK(hyph_with_minimums(mine, 1, 1, &looser) == HYPH_OK);
    CHECK(hyph_left_min(looser) == 1 && hyph_right_min(looser) == 1);
    CHECK(hyph_hyphenate_text(looser, "abcabc", 6, "-", 1, HYPH_TEXT_PLAIN, out, sizeof out,
                              &size) == HYPH_OK);
    CHECK(size == 10 && memcmp(out, "a-b-ca-b-c", 10) == 0);
    CHECK(hyph_create(NULL, NULL, 0, "1b\n12\n", 6, NULL, 0, &bad) == HYPH_FAILED && bad == NULL);
    /* Its own tables for text marked as its language; a byte-order mark
       before the patterns is skipped. */
    {
      hyph_hyphenator* own;
      const char* page = "<p lang=\"en-us\">hyphenation</p>";
      CHECK(hyph_create(english, NULL, 0, "\xEF\xBB\xBFhy3ph\nhe2n\n", 14, NULL, 0, &own) == HYPH_OK);
      CHECK(hyph_hyphenate_text(own, page, strlen(page), "-", 1, HYPH_TEXT_HTML, out, sizeof out,
                                &size) == HYPH_OK);
      CHECK(size == strlen("<p lang=\"en-us\">hy-phenation</p>") &&
            memcmp(out, "<p lang=\"en-us\">hy-phenation</p>", size) == 0);
      CHECK(hyph_hyphenate_text(own, "hyphenation", 11, "-", 1, HYPH_TEXT_HTML, out, sizeof out,
                                &size) == HYPH_OK);
      CHECK(size == 12 && memcmp(out, "hy-phenation", 12) == 0);
      hyph_free(own);
    }
    CHECK(strcmp(hyph_last_error(), "patterns:2: two digits in a row in '12'") == 0);
    CHECK(hyph_with_minimums(english, -1, 2, &bad) == HYPH_INVALID_ARGUMENT);
    hyph_free(looser);
    hyph_free(mine);
    hyph_free(NULL);
  }

  if (failures == 0) printf("c api: all checks passed\n");
  return failures == 0 ? 0 : 1;
}
