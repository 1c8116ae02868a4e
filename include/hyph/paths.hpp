// Where the library's files were installed: the directories it was
// configured to install into, each overridable at run time by an
// environment variable, and the library's version. Nothing else in the
// library uses them; they are for programs that ship files beside hyph.
//
//   hyph::dataDir()              // "/usr/share/hyph", or $HYPH_DATADIR
//   hyph::dataPath("extra.pat")  // "/usr/share/hyph/extra.pat"
#pragma once

#include <string>
#include <string_view>

#include "hyph/export.hpp"

namespace hyph {

/// Programs: CMAKE_INSTALL_FULL_BINDIR, or $HYPH_BINDIR when it is set.
HYPH_API std::string binDir();
/// Libraries: CMAKE_INSTALL_FULL_LIBDIR, or $HYPH_LIBDIR.
HYPH_API std::string libDir();
/// Dynamic libraries (where a shared libhyph goes): the library directory on
/// Unix, the program directory on Windows; or $HYPH_DYNLIBDIR.
HYPH_API std::string dynLibDir();
/// Data: CMAKE_INSTALL_FULL_DATADIR/hyph, or $HYPH_DATADIR.
HYPH_API std::string dataDir();
/// Auxiliary programs: CMAKE_INSTALL_FULL_LIBEXECDIR/hyph, or $HYPH_LIBEXECDIR.
HYPH_API std::string libexecDir();
/// Configuration: CMAKE_INSTALL_FULL_SYSCONFDIR, or $HYPH_SYSCONFDIR.
HYPH_API std::string sysconfDir();

/// `name` (a relative path) in the data directory: dataPath("a/b.txt") is
/// dataDir() + "/a/b.txt". An absolute `name` is returned as it is.
HYPH_API std::string dataPath(std::string_view name);

/// The library's version, "major.minor.patch" (the same as hyph::version).
HYPH_API std::string_view libraryVersion();

}  // namespace hyph
