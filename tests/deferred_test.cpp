#include "hyph/deferred.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "hyph/error.hpp"

namespace hyph {
namespace {

TEST(Deferred, ReadyValueNeedsNoBuild) {
  const Deferred<std::string> ready(std::string("done"));
  EXPECT_EQ(ready.get(), "done");
}

TEST(Deferred, BuildsOnceOnFirstUseAndSharesWithCopies) {
  int builds = 0;
  const auto lazy = Deferred<std::string>::lazy([&builds] {
    ++builds;
    return std::string("built");
  });
  EXPECT_EQ(builds, 0);
  const Deferred<std::string> copy = lazy;
  EXPECT_EQ(copy.get(), "built");
  EXPECT_EQ(lazy.get(), "built");
  EXPECT_EQ(&copy.get(), &lazy.get());
  EXPECT_EQ(builds, 1);
}

TEST(Deferred, FailedBuildRaisesTheSameErrorEveryTime) {
  int builds = 0;
  const auto failing = Deferred<int>::lazy([&builds]() -> int {
    ++builds;
    throw Error("Could not find hyph-xx.pat.txt.gz");
  });
  for (int i = 0; i < 3; ++i) {
    try {
      failing.get();
      FAIL() << "no error";
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), "Could not find hyph-xx.pat.txt.gz");
    }
  }
  EXPECT_EQ(builds, 1);
}

TEST(Deferred, ConcurrentFirstUseBuildsOnce) {
  std::atomic<int> builds = 0;
  const auto lazy = Deferred<std::vector<int>>::lazy([&builds] {
    ++builds;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return std::vector<int>(1000, 7);
  });
  std::atomic<bool> go = false;
  std::vector<std::thread> threads;
  std::vector<const std::vector<int>*> seen(16);
  for (int t = 0; t < 16; ++t)
    threads.emplace_back([&, t] {
      while (!go) std::this_thread::yield();
      seen[t] = &lazy.get();
    });
  go = true;
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(builds, 1);
  for (const auto* value : seen) EXPECT_EQ(value, seen[0]);
}

}  // namespace
}  // namespace hyph
