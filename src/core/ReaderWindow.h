#pragma once
// What the reading loop shows in the Settings window and asks of it; the window keeps the
// names of its controls to itself.
#include <string>

namespace corv {

class ReaderWindow {
  public:
    virtual ~ReaderWindow() = default;
    // The connection button's caption: what pressing it would do next.
    virtual void ShowConnectionCaption(const std::wstring& caption) = 0;
    // The serial settings are locked while a reader is connected.
    virtual void ShowConnected(bool connected) = 0;
    // The speed the window shows, which the port is opened with.
    virtual std::wstring ShownSpeed() = 0;
    // Picks "all characters" to send, as a person's pick would (with what a pick does).
    virtual void PickAllCharacters() = 0;
    // Starts or stops the window's timer whose ticks read the port.
    virtual void RunReading(bool run) = 0;
};

} // namespace corv
