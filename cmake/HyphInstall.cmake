# Installation: the library, its headers, the CMake package and pkg-config
# file, the command and its manual, and the documentation, in two
# components that are also the two Debian packages (see HyphPackaging.cmake):
# hyph (the command, its manual, and a shared library when there is one) and
# libhyph-dev (headers, static library, CMake package, pkg-config file,
# reference documentation and the patterns' licences).
if(HYPH_INSTALL)
  include(GNUInstallDirs)
  include(CMakePackageConfigHelpers)
  set(HYPH_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/hyph)

  set(HYPH_RUNTIME hyph)
  set(HYPH_DEV libhyph-dev)
  install(TARGETS hyph EXPORT hyph-targets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT ${HYPH_DEV}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT ${HYPH_RUNTIME}
      NAMELINK_COMPONENT ${HYPH_DEV}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${HYPH_RUNTIME}
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(DIRECTORY include/hyph DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT ${HYPH_DEV})
  install(FILES ${PROJECT_BINARY_DIR}/include/hyph/version.hpp
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/hyph COMPONENT ${HYPH_DEV})
  install(EXPORT hyph-targets NAMESPACE hyph:: DESTINATION ${HYPH_CMAKE_DIR} COMPONENT ${HYPH_DEV})

  configure_package_config_file(cmake/hyph-config.cmake.in
    ${PROJECT_BINARY_DIR}/hyph-config.cmake INSTALL_DESTINATION ${HYPH_CMAKE_DIR})
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/hyph-config-version.cmake
    COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/hyph-config.cmake ${PROJECT_BINARY_DIR}/hyph-config-version.cmake
    cmake/Findutf8proc.cmake DESTINATION ${HYPH_CMAKE_DIR} COMPONENT ${HYPH_DEV})

  # The prefix is found from the .pc file's own place, so that the installed
  # tree can be moved (or installed with --prefix) and still be found.
  string(REGEX MATCHALL "[^/]+" HYPH_PC_DEPTH "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
  set(HYPH_PC_PREFIX "\${pcfiledir}")
  foreach(part IN LISTS HYPH_PC_DEPTH)
    string(APPEND HYPH_PC_PREFIX "/..")
  endforeach()
  if(IS_ABSOLUTE ${CMAKE_INSTALL_LIBDIR})
    set(HYPH_PC_PREFIX ${CMAKE_INSTALL_PREFIX})
    set(HYPH_PC_LIBDIR ${CMAKE_INSTALL_LIBDIR})
  else()
    set(HYPH_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
  endif()
  if(IS_ABSOLUTE ${CMAKE_INSTALL_INCLUDEDIR})
    set(HYPH_PC_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR})
  else()
    set(HYPH_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
  endif()
  # A shared libhyph brings its own dependencies; a static one (the default)
  # needs them and the C++ runtime on every link, so that a plain
  # `pkg-config --libs hyph` is enough.
  if(BUILD_SHARED_LIBS)
    set(HYPH_PC_CFLAGS " -DHYPH_SHARED")
    set(HYPH_PC_REQUIRES "Requires.private")
    set(HYPH_PC_LIBS "")
  else()
    set(HYPH_PC_CFLAGS "")
    set(HYPH_PC_REQUIRES "Requires")
    set(HYPH_PC_LIBS " -lstdc++ -lm")
  endif()
  configure_file(cmake/hyph.pc.in ${PROJECT_BINARY_DIR}/hyph.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/hyph.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
    COMPONENT ${HYPH_DEV})

  # Manuals and changelogs as Debian has them: compressed at the most, with
  # no name or time in the gzip header.
  find_program(HYPH_GZIP gzip REQUIRED)
  function(hyph_gzip source output)
    add_custom_command(OUTPUT ${output}
      COMMAND ${HYPH_GZIP} -9nc ${source} > ${output}
      DEPENDS ${source} VERBATIM)
  endfunction()
  set(HYPH_PACKAGED ${PROJECT_BINARY_DIR}/packaged)
  file(MAKE_DIRECTORY ${HYPH_PACKAGED})
  configure_file(cli/hyph.1.in ${PROJECT_BINARY_DIR}/hyph.1 @ONLY)
  hyph_gzip(${PROJECT_BINARY_DIR}/hyph.1 ${HYPH_PACKAGED}/hyph.1.gz)
  # The changelog's latest entry is this version's.
  file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog HYPH_CHANGELOG_TOP LIMIT_COUNT 1)
  if(NOT HYPH_CHANGELOG_TOP MATCHES "^hyph \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog starts with '${HYPH_CHANGELOG_TOP}', "
      "not an entry for hyph ${PROJECT_VERSION} (VERSION)")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/packaging/changelog)
  hyph_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog ${HYPH_PACKAGED}/changelog.gz)
  add_custom_target(hyph_packaged ALL
    DEPENDS ${HYPH_PACKAGED}/hyph.1.gz ${HYPH_PACKAGED}/changelog.gz)

  if(HYPH_BUILD_CLI)
    install(TARGETS hyph_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${HYPH_RUNTIME})
    install(FILES ${HYPH_PACKAGED}/hyph.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
      COMPONENT ${HYPH_RUNTIME})
  endif()
  foreach(component ${HYPH_RUNTIME} ${HYPH_DEV})
    set(docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/${component})
    install(FILES packaging/copyright ${HYPH_PACKAGED}/changelog.gz DESTINATION ${docdir}
      COMPONENT ${component})
  endforeach()
  set(HYPH_DEV_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${HYPH_DEV})
  install(FILES README.md data/README.md DESTINATION ${HYPH_DEV_DOCDIR}
    COMPONENT ${HYPH_DEV})
  install(DIRECTORY data/ DESTINATION ${HYPH_DEV_DOCDIR}/licences COMPONENT ${HYPH_DEV}
    FILES_MATCHING PATTERN "*.lic.txt.gz")
  # The reference documentation, when it was built.
  install(DIRECTORY ${PROJECT_BINARY_DIR}/html/ DESTINATION ${HYPH_DEV_DOCDIR}/html
    COMPONENT ${HYPH_DEV} OPTIONAL)
endif()
