# The Debian packages, made by `cpack -G DEB` in a build configured with
# -DCMAKE_INSTALL_PREFIX=/usr (the preset "deb"): one per component of
# HyphInstall.cmake.
if(HYPH_INSTALL)
  set(CPACK_PACKAGE_VENDOR "The hyph developers")
  set(CPACK_PACKAGE_CONTACT "The hyph developers <dev@hyph.invalid>")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_GENERATOR DEB)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL ${HYPH_RUNTIME} ${HYPH_DEV})
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.hyphenation.org/tex")
  set(CPACK_DEBIAN_HYPH_PACKAGE_NAME hyph)
  set(CPACK_DEBIAN_HYPH_PACKAGE_SECTION text)
  set(CPACK_DEBIAN_HYPH_PACKAGE_SHLIBDEPS ON)
  set(CPACK_COMPONENT_HYPH_DESCRIPTION "hyphenation of words, text and HTML in 73 languages
 hyph finds the places where words may be broken with a hyphen, with the
 TeX hyphenation patterns and exception lists of 73 languages, and writes
 words, running text or HTML with a separator at each. This package holds
 the hyph command.")
  set(CPACK_DEBIAN_LIBHYPH-DEV_PACKAGE_NAME libhyph-dev)
  set(CPACK_DEBIAN_LIBHYPH-DEV_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_LIBHYPH-DEV_PACKAGE_DEPENDS "zlib1g-dev, libutf8proc-dev, libstdc++-12-dev | libstdc++-dev")
  set(CPACK_COMPONENT_LIBHYPH-DEV_DESCRIPTION "hyphenation library for 73 languages (development files)
 hyph is a C++20 library, with a C interface, that hyphenates words, running
 text and HTML with the TeX hyphenation patterns of 73 languages, compiled
 into it. This package holds the headers, the static library, the CMake
 package and pkg-config file, and the reference documentation.")
  if(BUILD_SHARED_LIBS)
    set(CPACK_DEBIAN_LIBHYPH-DEV_PACKAGE_DEPENDS "hyph (= ${PROJECT_VERSION}), zlib1g-dev, libutf8proc-dev")
  endif()
  include(CPack)
endif()
