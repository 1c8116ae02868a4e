// Deferred<T>: a value built from its source on first use, then kept.
//
// This is the library's once-only mechanism for its tables (the one other
// once-only step, the compile of a linked trie, belongs to the trie's node).
// A deferred value is in one of three states: not built, built, or failed.
// The first `get()` runs the build exactly once, even when many threads call
// it together (the others wait for that run). After a successful build every
// `get()` returns the same object without taking a lock; after a failed one
// every `get()` throws the same exception again. Copies share the state, so
// a table built through one copy is built for all of them.
#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>
#include <utility>

namespace hyph {

/// A value of type T built on first use by a function, then kept: see above.
template <class T>
class Deferred {
 public:
  /// What builds the value.
  using Build = std::function<T()>;

  /// A value that is already built.
  Deferred(T value) : state_(std::make_shared<State>()) {  // NOLINT: implicit by design
    // Done before any other thread can see it: get() never runs the once.
    state_->value.emplace(std::move(value));
    state_->done.store(true, std::memory_order_release);
  }

  /// A value that `build` makes on first use. Constructing it builds nothing.
  static Deferred lazy(Build build) { return Deferred(std::move(build), LazyTag{}); }

  /// Whether the build has run (or the value was given ready): get() then
  /// neither builds nor waits.
  bool ready() const { return state_->done.load(std::memory_order_acquire); }

  /// The value, building it first if needed; throws what the build threw.
  const T& get() const {
    State& state = *state_;
    // The common case, after the build: one acquire load, no call.
    if (state.done.load(std::memory_order_acquire)) {
      if (state.error) std::rethrow_exception(state.error);
      return *state.value;
    }
    std::call_once(state.once, [&state] {
      try {
        state.value.emplace(state.build());
      } catch (...) {
        state.error = std::current_exception();
      }
      state.build = nullptr;  // release whatever the build captured
      state.done.store(true, std::memory_order_release);
    });
    if (state.error) std::rethrow_exception(state.error);
    return *state.value;
  }

 private:
  struct LazyTag {};
  struct State {
    std::once_flag once;
    std::atomic<bool> done{false};  // set, with release, once value or error is in place
    Build build;
    std::optional<T> value;
    std::exception_ptr error;
  };

  Deferred(Build build, LazyTag) : state_(std::make_shared<State>()) {
    state_->build = std::move(build);
  }

  std::shared_ptr<State> state_;
};

}  // namespace hyph
