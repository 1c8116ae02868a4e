# The languages' data as constant data of the library, made by two build
# tools of the project's own: the gzip files of data/ as they are (the
# embedded archive), and each language's lookup tables compiled from them.
#
#   HYPH_LANGUAGES        all (the default), or the languages to hold, by
#                         affix or name: en-us;de-1996. Using another throws
#                         hyph::Error, which names this option. none: no
#                         data at all; each language's compiled tables are
#                         given at run time (addLanguageTables), as the
#                         WebAssembly build does.
#   HYPH_PREBUILT_TABLES  ON (the default): the tables are compiled when the
#                         library is built, ready at once in every process;
#                         OFF: each is parsed from its gzip file on first use,
#                         for the smallest library.
#
# The tools run on the machine that builds: when cross-compiling, give
# HYPH_HOST_TOOLS, the folder of a native build that holds hyph_embed_archive
# and hyph_compile_tables.
option(HYPH_PREBUILT_TABLES "Compile each language's lookup tables into the library" ON)
set(HYPH_LANGUAGES "all" CACHE STRING
  "The languages whose data the library holds: all, none, or a list of affixes or names (en-us;de-1996)")
set(HYPH_HOST_TOOLS "" CACHE PATH
  "When cross-compiling: a native build's folder with hyph_embed_archive and hyph_compile_tables")

if(NOT HYPH_ZLIB AND NOT (CMAKE_CROSSCOMPILING AND HYPH_LANGUAGES STREQUAL "none"))
  message(FATAL_ERROR "HYPH_ZLIB=OFF is for a cross build with HYPH_LANGUAGES=none (the "
    "WebAssembly module's): the languages' data and the build tools are read with gzip")
endif()

# The one list of languages, as language_list.hpp gives it.
file(READ ${PROJECT_SOURCE_DIR}/include/hyph/language_list.hpp HYPH_LIST_TEXT)
string(FIND "${HYPH_LIST_TEXT}" "#define HYPH_LANGUAGES(X)" HYPH_LIST_START)
string(SUBSTRING "${HYPH_LIST_TEXT}" ${HYPH_LIST_START} -1 HYPH_LIST_TEXT)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/include/hyph/language_list.hpp)
string(REGEX MATCHALL "X\\([A-Za-z0-9_]+, [A-Za-z0-9_]+, \"[^\"]+\"" HYPH_LIST_ENTRIES
  "${HYPH_LIST_TEXT}")
set(HYPH_ALL_NAMES)
set(HYPH_ALL_AFFIXES)
foreach(entry IN LISTS HYPH_LIST_ENTRIES)
  string(REGEX MATCH "X\\(([A-Za-z0-9_]+), [A-Za-z0-9_]+, \"([^\"]+)\"" matched "${entry}")
  list(APPEND HYPH_ALL_NAMES ${CMAKE_MATCH_1})
  list(APPEND HYPH_ALL_AFFIXES ${CMAKE_MATCH_2})
endforeach()
list(LENGTH HYPH_ALL_NAMES HYPH_ALL_COUNT)
if(NOT HYPH_ALL_COUNT EQUAL 73)
  message(FATAL_ERROR "hyph: read ${HYPH_ALL_COUNT} languages from language_list.hpp, not 73")
endif()

# The languages held, by affix and enumerator.
set(HYPH_SELECTED_AFFIXES)
set(HYPH_SELECTED_NAMES)
if(HYPH_LANGUAGES STREQUAL "all")
  set(HYPH_SELECTED_AFFIXES ${HYPH_ALL_AFFIXES})
  set(HYPH_SELECTED_NAMES ${HYPH_ALL_NAMES})
elseif(HYPH_LANGUAGES STREQUAL "none")
  # No data: every language is given its tables at run time.
else()
  foreach(wanted IN LISTS HYPH_LANGUAGES)
    string(TOLOWER "${wanted}" wanted_lower)
    string(REPLACE "_" "-" wanted_lower "${wanted_lower}")
    set(found -1)
    list(LENGTH HYPH_ALL_NAMES count)
    math(EXPR last "${count} - 1")
    foreach(i RANGE ${last})
      list(GET HYPH_ALL_AFFIXES ${i} affix)
      list(GET HYPH_ALL_NAMES ${i} name)
      string(TOLOWER "${name}" name_lower)
      string(REPLACE "_" "-" name_lower "${name_lower}")
      if(wanted_lower STREQUAL affix OR wanted_lower STREQUAL name_lower)
        set(found ${i})
      endif()
    endforeach()
    if(found EQUAL -1)
      message(FATAL_ERROR "HYPH_LANGUAGES: no language is called '${wanted}' "
        "(give affixes such as en-us or names such as English_US; hyph --list shows them)")
    endif()
    list(GET HYPH_ALL_AFFIXES ${found} affix)
    list(GET HYPH_ALL_NAMES ${found} name)
    list(APPEND HYPH_SELECTED_AFFIXES ${affix})
    list(APPEND HYPH_SELECTED_NAMES ${name})
  endforeach()
  list(REMOVE_DUPLICATES HYPH_SELECTED_AFFIXES)
  list(REMOVE_DUPLICATES HYPH_SELECTED_NAMES)
  if(NOT HYPH_SELECTED_AFFIXES)
    message(FATAL_ERROR "HYPH_LANGUAGES is empty: give all, or at least one language")
  endif()
endif()
list(LENGTH HYPH_SELECTED_AFFIXES HYPH_LANGUAGE_COUNT)

set(HYPH_GENERATED ${PROJECT_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${HYPH_GENERATED})

# Which languages are held, and what using another says.
if(HYPH_LANGUAGES STREQUAL "all")
  set(HYPH_BUILT_IN_BODY "  return true;")
  set(HYPH_NOT_BUILT_IN "\" is not built into this hyph library\"")
elseif(HYPH_LANGUAGES STREQUAL "none")
  set(HYPH_BUILT_IN_BODY "  return false;")
  string(CONCAT HYPH_NOT_BUILT_IN "\" is not loaded: this hyph library holds no language's "
    "data (HYPH_LANGUAGES=none), and its tables were not given to addLanguageTables\"")
else()
  set(HYPH_BUILT_IN_BODY "  switch (language) {\n")
  foreach(name IN LISTS HYPH_SELECTED_NAMES)
    string(APPEND HYPH_BUILT_IN_BODY "    case Language::${name}:\n")
  endforeach()
  string(APPEND HYPH_BUILT_IN_BODY "      return true;\n    default:\n      return false;\n  }")
  list(JOIN HYPH_SELECTED_NAMES ", " HYPH_BUILT_IN_NAMES)
  list(JOIN HYPH_LANGUAGES ";" HYPH_LANGUAGES_TEXT)
  string(CONCAT HYPH_NOT_BUILT_IN "\" is not built into this hyph library, which holds only "
    "${HYPH_BUILT_IN_NAMES} (HYPH_LANGUAGES=${HYPH_LANGUAGES_TEXT})\"")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/languages_built_in.cpp.in
  ${HYPH_GENERATED}/languages_built_in.cpp @ONLY)

# The build tools: built here, or a native build's when cross-compiling.
if(CMAKE_CROSSCOMPILING)
  if(NOT HYPH_HOST_TOOLS)
    message(FATAL_ERROR "Cross-compiling hyph needs HYPH_HOST_TOOLS: the folder of a native "
      "build that holds hyph_embed_archive and hyph_compile_tables")
  endif()
  set(HYPH_EMBED_ARCHIVE ${HYPH_HOST_TOOLS}/hyph_embed_archive)
  set(HYPH_COMPILE_TABLES ${HYPH_HOST_TOOLS}/hyph_compile_tables)
else()
  add_executable(hyph_embed_archive ${PROJECT_SOURCE_DIR}/src/catalogue/embed_archive.cpp)
  target_compile_features(hyph_embed_archive PRIVATE cxx_std_20)
  set(HYPH_EMBED_ARCHIVE hyph_embed_archive)
  # The tables compiler is the library's own parsing and automaton: the
  # engine and the readers of the data files.
  add_executable(hyph_compile_tables ${PROJECT_SOURCE_DIR}/src/catalogue/compile_tables.cpp)
  target_link_libraries(hyph_compile_tables PRIVATE hyph_engine hyph_readers hyph_warnings
    ZLIB::ZLIB)
  target_include_directories(hyph_compile_tables PRIVATE ${PROJECT_SOURCE_DIR}/src)
  set(HYPH_COMPILE_TABLES hyph_compile_tables)
endif()

# The embedded archive: the held languages' gzip files as they are.
set(HYPH_DATA_FILES)
set(HYPH_TABLE_INPUTS)
foreach(affix IN LISTS HYPH_SELECTED_AFFIXES)
  foreach(kind chr hyp lic pat)
    list(APPEND HYPH_DATA_FILES ${PROJECT_SOURCE_DIR}/data/hyph-${affix}.${kind}.txt.gz)
  endforeach()
  foreach(kind chr hyp pat)
    list(APPEND HYPH_TABLE_INPUTS ${PROJECT_SOURCE_DIR}/data/hyph-${affix}.${kind}.txt.gz)
  endforeach()
endforeach()
set(HYPH_ARCHIVE_SOURCE ${HYPH_GENERATED}/embedded_archive.cpp)
add_custom_command(
  OUTPUT ${HYPH_ARCHIVE_SOURCE}
  COMMAND ${HYPH_EMBED_ARCHIVE} ${HYPH_ARCHIVE_SOURCE} ${HYPH_DATA_FILES}
  DEPENDS ${HYPH_EMBED_ARCHIVE} ${HYPH_DATA_FILES}
  COMMENT "Embedding the data of ${HYPH_LANGUAGE_COUNT} languages"
  VERBATIM)

# The compiled tables, or none.
set(HYPH_DATA_SOURCES ${HYPH_ARCHIVE_SOURCE} ${HYPH_GENERATED}/languages_built_in.cpp)
if(HYPH_PREBUILT_TABLES)
  set(HYPH_TABLE_SOURCES ${HYPH_GENERATED}/compiled_tables.cpp)
  foreach(affix IN LISTS HYPH_SELECTED_AFFIXES)
    list(APPEND HYPH_TABLE_SOURCES ${HYPH_GENERATED}/tables-${affix}.cpp)
  endforeach()
  set(HYPH_BYTE_ORDER_OPTION)
  if(CMAKE_CXX_BYTE_ORDER STREQUAL "BIG_ENDIAN")
    set(HYPH_BYTE_ORDER_OPTION --big-endian)
  endif()
  add_custom_command(
    OUTPUT ${HYPH_TABLE_SOURCES}
    COMMAND ${HYPH_COMPILE_TABLES} ${HYPH_BYTE_ORDER_OPTION} ${PROJECT_SOURCE_DIR}/data
      ${HYPH_GENERATED} ${HYPH_SELECTED_AFFIXES}
    DEPENDS ${HYPH_COMPILE_TABLES} ${HYPH_TABLE_INPUTS}
    COMMENT "Compiling the lookup tables of ${HYPH_LANGUAGE_COUNT} languages"
    VERBATIM)
  list(APPEND HYPH_DATA_SOURCES ${HYPH_TABLE_SOURCES})
else()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/no_compiled_tables.cpp.in
    ${HYPH_GENERATED}/compiled_tables.cpp COPYONLY)
  list(APPEND HYPH_DATA_SOURCES ${HYPH_GENERATED}/compiled_tables.cpp)
endif()
# Each file and each table is one long string literal, beyond the length that
# the standard obliges compilers to support (GCC and Clang take any length).
set_source_files_properties(${HYPH_DATA_SOURCES} PROPERTIES
  COMPILE_OPTIONS $<$<CXX_COMPILER_ID:GNU,Clang,AppleClang>:-Wno-overlength-strings>)
