/* A C program built with plain cc and pkg-config. */
#include <hyph/hyph.h>
#include <stdio.h>

int main(void) {
  const hyph_hyphenator* english;
  char out[64];
  size_t size = 0;
  if (hyph_language("en-us", &english) != HYPH_OK) return 1;
  if (hyph_hyphenate_text(english, "Hyphenation", 11, "-", 1, HYPH_TEXT_PLAIN, out, sizeof out - 1,
                          &size) != HYPH_OK)
    return 1;
  out[size] = '\0';
  printf("%s\n", out);
  return size == 13 ? 0 : 1;
}
