# The Unicode data of the text layer: utf8proc's, or, with
# HYPH_UNICODE_TABLES (the WebAssembly build), compact tables that the build
# makes of utf8proc's with the tool hyph_unicode_tables (a native build's
# when cross-compiling, from HYPH_HOST_TOOLS). The tool is built natively
# either way, for the test that compares the two.
option(HYPH_UNICODE_TABLES "Use tables made at build time for the text layer's Unicode data, not utf8proc" OFF)

if(CMAKE_CROSSCOMPILING)
  set(HYPH_UNICODE_TOOL ${HYPH_HOST_TOOLS}/hyph_unicode_tables)
else()
  add_executable(hyph_unicode_tables ${PROJECT_SOURCE_DIR}/src/text/make_unicode_tables.cpp)
  target_compile_features(hyph_unicode_tables PRIVATE cxx_std_20)
  target_link_libraries(hyph_unicode_tables PRIVATE hyph_warnings utf8proc::utf8proc)
  set(HYPH_UNICODE_TOOL hyph_unicode_tables)
endif()
add_custom_command(
  OUTPUT ${HYPH_GENERATED}/unicode_tables.inc
  COMMAND ${HYPH_UNICODE_TOOL} ${HYPH_GENERATED}/unicode_tables.inc
  DEPENDS ${HYPH_UNICODE_TOOL}
  COMMENT "Making the text layer's Unicode tables"
  VERBATIM)
add_custom_target(hyph_unicode_data DEPENDS ${HYPH_GENERATED}/unicode_tables.inc)

if(HYPH_UNICODE_TABLES)
  set(HYPH_UNICODE_SOURCE src/text/unicode_tables.cpp ${HYPH_GENERATED}/unicode_tables.inc)
else()
  set(HYPH_UNICODE_SOURCE src/text/unicode.cpp)
endif()
