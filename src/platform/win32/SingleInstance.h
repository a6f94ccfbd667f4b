#pragma once
// The previous-instance test: a named mutex held for the life of the process.
#include <windows.h>

#include "Handles.h"

namespace corv::win32 {

class SingleInstance {
  public:
    explicit SingleInstance(const wchar_t* name);
    // True when another process of this program already holds the name.
    bool AnotherIsRunning() const { return another_; }

  private:
    KernelHandle mutex_;
    bool another_ = false;
};

} // namespace corv::win32
