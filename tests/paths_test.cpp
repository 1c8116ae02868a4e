#include "hyph/paths.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

#include "hyph/version.hpp"

namespace hyph {
namespace {

TEST(Paths, ConfiguredDirectoriesAndTheirOverrides) {
  ::unsetenv("HYPH_DATADIR");
  const std::string configured = dataDir();
  EXPECT_TRUE(configured.ends_with("/share/hyph")) << configured;
  EXPECT_EQ(dataPath("extra/my.pat"), configured + "/extra/my.pat");
  EXPECT_EQ(dataPath("/etc/my.pat"), "/etc/my.pat");
  ::setenv("HYPH_DATADIR", "/opt/data/", 1);
  EXPECT_EQ(dataDir(), "/opt/data/");
  EXPECT_EQ(dataPath("my.pat"), "/opt/data/my.pat");
  ::setenv("HYPH_DATADIR", "", 1);  // empty: as if unset
  EXPECT_EQ(dataDir(), configured);
  ::unsetenv("HYPH_DATADIR");
  for (auto [variable, query] : {std::pair{"HYPH_BINDIR", &binDir},
                                 {"HYPH_LIBDIR", &libDir},
                                 {"HYPH_DYNLIBDIR", &dynLibDir},
                                 {"HYPH_LIBEXECDIR", &libexecDir},
                                 {"HYPH_SYSCONFDIR", &sysconfDir}}) {
    const std::string before = query();
    EXPECT_FALSE(before.empty()) << variable;
    ::setenv(variable, "/elsewhere", 1);
    EXPECT_EQ(query(), "/elsewhere") << variable;
    ::unsetenv(variable);
    EXPECT_EQ(query(), before) << variable;
  }
  EXPECT_EQ(libraryVersion(), version);
}

}  // namespace
}  // namespace hyph
