#pragma once

namespace corv {

// Installing and removing the keyboard reader's low-level hook.
class KeyboardHookControl {
  public:
    virtual ~KeyboardHookControl() = default;
    // True when the hook is in place (an installed one counts); false when the system refused.
    virtual bool InstallKeyboardHook() = 0;
    virtual void RemoveKeyboardHook() = 0;
};

} // namespace corv
