// Runs an action when a scope ends, however it ends (a return, the silent abort, an error):
// for a step that must follow a phase whatever stops it. The action must not throw.
#pragma once
#include <utility>

template <typename Action> class AtScopeEnd {
  public:
    explicit AtScopeEnd(Action action) : action_(std::move(action)) {}
    AtScopeEnd(const AtScopeEnd&) = delete;
    AtScopeEnd& operator=(const AtScopeEnd&) = delete;
    ~AtScopeEnd() { action_(); }

  private:
    Action action_;
};
