# The reference documentation: `cmake --build build --target docs`, into
# build/html with Doxygen (installed with the rest when it was built).
find_package(Doxygen QUIET)
if(DOXYGEN_FOUND)
  set(DOXYGEN_PROJECT_NAME hyph)
  set(DOXYGEN_PROJECT_NUMBER ${PROJECT_VERSION})
  set(DOXYGEN_PROJECT_BRIEF "${PROJECT_DESCRIPTION}")
  set(DOXYGEN_EXTRACT_ALL YES)
  set(DOXYGEN_EXCLUDE_SYMBOLS detail HYPH_ENUMERATOR HYPH_LANGUAGE_INFO HYPH_COUNT_ONE
    HYPH_SHARED_HYPHENATOR)
  # The first sentence of each comment is its one-line summary.
  set(DOXYGEN_JAVADOC_AUTOBRIEF YES)
  set(DOXYGEN_QT_AUTOBRIEF YES)
  set(DOXYGEN_EXCLUDE ${PROJECT_SOURCE_DIR}/include/hyph/detail
    ${PROJECT_SOURCE_DIR}/include/hyph/export.hpp)
  set(DOXYGEN_SOURCE_BROWSER NO)
  set(DOXYGEN_VERBATIM_HEADERS NO)
  set(DOXYGEN_ENABLE_PREPROCESSING YES)
  set(DOXYGEN_MACRO_EXPANSION YES)
  set(DOXYGEN_EXPAND_ONLY_PREDEF NO)
  set(DOXYGEN_SEARCH_INCLUDES YES)
  set(DOXYGEN_INCLUDE_PATH ${PROJECT_SOURCE_DIR}/include)
  # The export macro means nothing to a reader.
  set(DOXYGEN_PREDEFINED "HYPH_API=")
  set(DOXYGEN_WARN_IF_UNDOCUMENTED YES)
  set(DOXYGEN_WARN_LOGFILE ${PROJECT_BINARY_DIR}/doxygen-warnings.txt)
  set(DOXYGEN_QUIET YES)
  set(DOXYGEN_USE_MDFILE_AS_MAINPAGE ${PROJECT_SOURCE_DIR}/README.md)
  set(DOXYGEN_HTML_OUTPUT ${PROJECT_BINARY_DIR}/html)
  doxygen_add_docs(hyph_docs ${PROJECT_SOURCE_DIR}/include/hyph ${PROJECT_SOURCE_DIR}/README.md
    COMMENT "Reference documentation in ${PROJECT_BINARY_DIR}/html")
else()
  add_custom_target(hyph_docs
    COMMAND ${CMAKE_COMMAND} -E echo "hyph: the docs need Doxygen (Debian: apt-get install doxygen), then a new configure"
    COMMAND ${CMAKE_COMMAND} -E false)
endif()
if(PROJECT_IS_TOP_LEVEL AND NOT TARGET docs)
  add_custom_target(docs DEPENDS hyph_docs)
endif()
