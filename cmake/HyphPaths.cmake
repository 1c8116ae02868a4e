# The installation paths, as configured, compiled into the library for
# hyph/paths.hpp (each overridable at run time by an environment variable).
include(GNUInstallDirs)
set(HYPH_FULL_BINDIR ${CMAKE_INSTALL_FULL_BINDIR})
set(HYPH_FULL_LIBDIR ${CMAKE_INSTALL_FULL_LIBDIR})
if(WIN32)
  set(HYPH_FULL_DYNLIBDIR ${CMAKE_INSTALL_FULL_BINDIR})
else()
  set(HYPH_FULL_DYNLIBDIR ${CMAKE_INSTALL_FULL_LIBDIR})
endif()
set(HYPH_FULL_DATADIR ${CMAKE_INSTALL_FULL_DATADIR}/hyph)
set(HYPH_FULL_LIBEXECDIR ${CMAKE_INSTALL_FULL_LIBEXECDIR}/hyph)
set(HYPH_FULL_SYSCONFDIR ${CMAKE_INSTALL_FULL_SYSCONFDIR})
set(HYPH_PATHS_SOURCE ${PROJECT_BINARY_DIR}/generated/paths.cpp)
configure_file(${PROJECT_SOURCE_DIR}/cmake/paths.cpp.in ${HYPH_PATHS_SOURCE} @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/cmake/version.hpp.in
  ${PROJECT_BINARY_DIR}/include/hyph/version.hpp @ONLY)
