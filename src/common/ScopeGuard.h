#pragma once
// Runs an action when the scope it guards is left, however it is left (a return, an exception):
// a flag set for the length of a call is cleared again, a hold is let go.
#include <utility>

namespace corv {

template <typename Action> class [[nodiscard]] ScopeGuard {
  public:
    explicit ScopeGuard(Action action) : action_(std::move(action)) {}
    ~ScopeGuard() { action_(); }
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;

  private:
    Action action_;
};

} // namespace corv
