# Sanitizers for the whole build (HYPH_SANITIZE=address,undefined or thread):
# every target, the library's dependencies' users included, is compiled and
# linked with them, and any report is fatal.
set(HYPH_SANITIZE "" CACHE STRING
  "Sanitizers for the whole build, as for -fsanitize= (for example address,undefined or thread)")

if(HYPH_SANITIZE)
  if(NOT PROJECT_IS_TOP_LEVEL)
    message(FATAL_ERROR "HYPH_SANITIZE applies to the whole build; set it only when building hyph itself")
  endif()
  add_compile_options(-fsanitize=${HYPH_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${HYPH_SANITIZE})
endif()
