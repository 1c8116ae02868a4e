/* The C interface, from C99. Exits non-zero at the first failed check. */
#include <stdio.h>
#include <string.h>

#include "hyph/hyph.h"

static int failures = 0;
#define CHECK(condition)                                             \
  do {                                                               \
    if (!(condition)) {                                              \
      fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
      ++failures;                                                    \
    }                                                                \
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
  CHECK(hyph_language(NULL, &missing) == HYPH_INVALID_ARGUMENT);

  CHECK(hyph_break_points(english, "hyphenation", 11, breaks, 16, &count) == HYPH_OK);
  CHECK(count == 2 && breaks[0] == 2 && breaks[1] == 6);
  CHECK(hyph_break_points(german, "Stra\xC3\x9F" "enbahn", 12, breaks, 16, &count) == HYPH_OK);
  CHECK(count == 2 && breaks[0] == 4 && breaks[1] == 8);
  CHECK(hyph_break_points(english, "documentation", 13, breaks, 1, &count) == HYPH_BUFFER_TOO_SMALL);
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

  if (failures == 0) printf("c api: all checks passed\n");
  return failures == 0 ? 0 : 1;
}
