#pragma once
// Finding and activating top-level windows, and typing text with injected key events.
#include "platform/Desktop.h"

namespace corv::win32 {

class Win32Desktop : public DeliveryDesktop {
  public:
    // Longest wait for the receiving application to answer after each batch of keys.
    static constexpr int kProcessedWaitMs = 1500;
    // Characters injected in one batch.
    static constexpr std::size_t kBatchChars = 500;

    Window FindTopLevelWindow(const std::wstring& title) override;
    bool RestoreIfMinimised(Window window) override;
    bool SetForeground(Window window) override;
    bool WaitUntilFocused(Window window, int timeoutMs) override;
    std::vector<int> WaitForModifiersUp(int timeoutMs) override;
    void TypeText(const std::wstring& text, bool waitUntilProcessed) override;
    bool TypeCode(const std::wstring& text, const std::vector<int>& releaseFirst) override;

  private:
    bool Type(const std::wstring& text, bool waitUntilProcessed,
              const std::vector<int>& releaseFirst);
};

} // namespace corv::win32
