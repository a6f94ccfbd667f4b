#pragma once
// The Settings window as the reading loop sees it: what it was last told to show.
#include <functional>
#include <string>

#include "core/ReaderWindow.h"

namespace corv::fake {

class FakeReaderWindow : public ReaderWindow {
  public:
    std::wstring caption;
    std::wstring speed = L"9600";
    bool connected = false;
    bool reading = false;
    int allCharacterPicks = 0;
    // Called after each ShowConnected, to see what was shown before it.
    std::function<void(bool connected)> onShowConnected;

    void ShowConnectionCaption(const std::wstring& text) override { caption = text; }
    void ShowConnected(bool now) override {
        connected = now;
        if (onShowConnected)
            onShowConnected(now);
    }
    std::wstring ShownSpeed() override { return speed; }
    void PickAllCharacters() override { ++allCharacterPicks; }
    void RunReading(bool run) override { reading = run; }
};

} // namespace corv::fake
