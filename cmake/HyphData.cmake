# The languages' data as constant data of the library: data/ becomes a
# generated source in the build tree, by a build tool of the project's own.
file(GLOB HYPH_DATA_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/hyph-*.txt.gz)

add_executable(hyph_embed_archive ${PROJECT_SOURCE_DIR}/src/catalogue/embed_archive.cpp)
target_compile_features(hyph_embed_archive PRIVATE cxx_std_20)
set(HYPH_ARCHIVE_SOURCE ${PROJECT_BINARY_DIR}/generated/embedded_archive.cpp)
add_custom_command(
  OUTPUT ${HYPH_ARCHIVE_SOURCE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/generated
  COMMAND hyph_embed_archive ${HYPH_ARCHIVE_SOURCE} ${HYPH_DATA_FILES}
  DEPENDS hyph_embed_archive ${HYPH_DATA_FILES}
  COMMENT "Embedding ${PROJECT_SOURCE_DIR}/data"
  VERBATIM)
# Each file is one long string literal, beyond the length that the standard
# obliges compilers to support (GCC and Clang take any length).
set_source_files_properties(${HYPH_ARCHIVE_SOURCE} PROPERTIES
  COMPILE_OPTIONS $<$<CXX_COMPILER_ID:GNU,Clang,AppleClang>:-Wno-overlength-strings>)
