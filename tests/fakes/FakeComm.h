#pragma once
// An in-memory serial port: the bytes waiting at it, the calls made, and the next calls of a kind
// failing with chosen errors (calls on a handle whose device went away fail with 21). Over it the
// reading loop and the Settings window as the loop sees it, in LoopWorld: what the user sees goes
// into `seen`: "~12" a code typed (~ the prefix mark), "[on]"/"[off]" the tray image ("[+on]"
// added), "(retry)"/"(stop)" the retry timer, "(threw)" typing failed.
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <utility>

#include "FakeCodePage.h"
#include "common/Text.h"
#include "core/ReadingLoop.h"
#include "serial/Serial.h"

namespace corv::fake {

class FakeComm : public Comm {
  public:
    std::string input, calls;
    std::map<std::string, std::deque<std::uint32_t>> fail; // by call name: its next errors
    std::set<std::string> devices{"COM1", "COM3", "COM12"};
    CommDcb state{};
    std::map<Handle, std::string> open; // the device of each open handle

    Handle Open(const std::string& name, std::uint32_t, std::uint32_t, std::uint32_t,
                std::uint32_t) override {
        if (!Call("Open") || (!devices.count(name) && (error_ = 2)))
            return kInvalidHandle;
        open[next_] = name;
        return next_++;
    }
    bool Setup(Handle p, std::uint32_t, std::uint32_t) override { return Call("Setup", &p); }
    bool Purge(Handle p, std::uint32_t what) override {
        return Call("Purge", &p) && (what & 8 ? input.clear() : void(), true);
    }
    bool SetTimeouts(Handle p, const CommTimeouts&) override { return Call("Timeouts", &p); }
    bool GetState(Handle p, CommDcb& d) override { return Call("GetState", &p) && (d = state, 1); }
    bool SetState(Handle p, const CommDcb& d) override {
        return Call("SetState", &p) && (state = d, 1);
    }
    // The driver's form of settings text; the system refuses a text it cannot read.
    bool BuildDcb(const std::string& text, CommDcb& dcb) override {
        unsigned baud = 0;
        int end = 0;
        std::sscanf(text.c_str(), "baud=%7u parity=N data=8 stop=1%n", &baud, &end);
        return Call("BuildDcb") &&
               (end == int(text.size()) ? (dcb.BaudRate = baud, true) : (error_ = 87, false));
    }
    bool ClearError(Handle p, std::uint32_t& flags, CommStatus& status) override {
        status.InQueue = static_cast<std::uint32_t>(input.size());
        return Call("ClearError", &p) && (flags = 0x1A, true); // the flags a failure leaves
    }
    // A read or write that goes pending ends in WaitOverlapped.
    bool Read(Handle p, char* to, std::uint32_t size, std::uint32_t& read,
              CommOverlapped&) override {
        to_ = to, pending_ = size, read = 0;
        return Call("Read " + std::to_string(size), &p) && Take(read);
    }
    bool Write(Handle p, const char*, std::uint32_t size, std::uint32_t& written,
               CommOverlapped&) override {
        to_ = nullptr, pending_ = size, written = 0;
        return Call("Write", &p) && (written = size, true);
    }
    bool WaitOverlapped(Handle p, CommOverlapped&, std::uint32_t& done, bool) override {
        return (done = 0, Call("Wait", &p)) && (to_ ? Take(done) : (done = pending_, true));
    }
    bool Close(Handle p) override { return Call("Close", &p) && open.erase(p); }
    std::uint32_t LastError() override { return error_; }
    std::uint32_t SystemMessage(std::uint32_t from, std::uint32_t id, std::uint32_t language,
                                char* to, std::uint32_t size) override {
        const std::string text = "  E" + std::to_string(id) + ". \r\n";
        return from == 0x1000 && !language ? static_cast<std::uint32_t>(text.copy(to, size)) : 0;
    }

  private:
    bool Call(const std::string& what, const Handle* port = nullptr) {
        calls += (calls.empty() ? "" : "|") + what;
        auto& errors = fail[what.substr(0, what.find(' '))];
        error_ = !errors.empty()                                          ? errors.front()
                 : port && !open.count(*port)                             ? 6
                 : port && what != "Close" && !devices.count(open[*port]) ? 21
                                                                          : 0;
        if (!errors.empty())
            errors.pop_front();
        return error_ == 0;
    }
    bool Take(std::uint32_t& done) {
        input.erase(0, done = static_cast<std::uint32_t>(input.copy(to_, pending_)));
        return true;
    }
    Handle next_ = 100;
    std::uint32_t error_ = 0, pending_ = 0; // pending_: size of the last transfer
    char* to_ = nullptr;                    // and its buffer, for a read
};

// The port object over the in-memory port, and a message pump.
struct FakePort : MessagePump {
    FakeComm comm;
    Cp1251CodePage cp;
    modCOMM driver{comm, *this, cp};
    Serial serial{driver};
    void ProcessPendingMessages() override {}
};

struct FakeReaderWindow : ReaderWindow {
    std::wstring caption = L"strConnect/BG", speed = L"9600";
    bool connected = false, reading = false;
    int allCharacterPicks = 0;
    void ShowConnectionCaption(const std::wstring& text) override { caption = text; }
    void ShowConnected(bool now) override { connected = now; }
    std::wstring ShownSpeed() override { return speed; }
    void PickAllCharacters() override { ++allCharacterPicks; }
    void RunReading(bool run) override { reading = run; }
};

struct LoopWorld : FakePort, CodeDelivery, TrayIcon, KeyboardHookControl, ResStrings {
    AppSettings settings;
    AppState state;
    FakeReaderWindow window;
    ReadingLoop loop{{settings, state, serial, *this, cp, *this, *this, *this, *this, window}};
    std::vector<std::wstring> delivered;
    std::string seen;
    std::wstring tip;
    bool hooked = false, refuseHook = false, failTyping = false;
    bool tickInside = false, clickInside = false, throwNext = false; // in the next message pass

    LoopWorld() {
        settings.SendTo = 1;
        loop.RetryTimer = [this](bool run) { See(run ? "(retry)" : "(stop)"); };
    }
    void See(const std::string& what) { seen += (seen.empty() ? "" : " ") + what; }
    void Tick() try {
        loop.Timer1Tick();
    } catch (const std::runtime_error&) { // as the timer's edge
    }
    void ProcessPendingMessages() override {
        comm.calls += "~";
        if (std::exchange(clickInside, false))
            loop.bConnectionClick();
        if (std::exchange(throwNext, false))
            throw std::runtime_error("boom");
        if (auto& h = comm.fail["handler"]; !h.empty()) // another handler's call fails so
            comm.fail["Purge"].push_back(h.front()), h.pop_front(), driver.CommFlush();
        if (std::exchange(tickInside, false)) // a tick comes meanwhile
            Tick(), tickInside = true;
    }
    void DeliverCode(const std::wstring& code) override {
        if (std::exchange(failTyping, false))
            See("(threw)"), throw std::runtime_error("typing failed");
        delivered.push_back(code);
        See(cp.ToAnsi(ReplaceAll(code, std::wstring(1, kPrefixMark), L"~")));
    }
    void UpdateTrayIcon(int op, std::int16_t image) override {
        See((op == kAdd ? "[+" : "[") + std::string(image == kConnectedImage ? "on]" : "off]"));
    }
    void SetTrayTip(const std::wstring& text) override { tip = text; }
    bool InstallKeyboardHook() override { return hooked = !refuseHook; }
    void RemoveKeyboardHook() override { hooked = false; }
    std::wstring ResStringComm(const std::wstring& key, const std::wstring& language) override {
        return key == L"strTipPort"           ? L"on %1 at %2"
               : key == L"strTipRetrying"     ? L"%1 retrying"
               : key == L"strTipNotConnected" ? L"off"
               : key == L"strTipKeyboard"     ? L"keyboard"
                                              : key + L"/" + language;
    }
};

// "Prefix=3" sets that setting, named by its section; false for any other word.
inline bool SetSetting(AppSettings& settings, const std::string& word) {
    const std::wstring w(word.begin(), word.end());
    for (const SettingRow& row : kSettingRows)
        if (w.starts_with(row.section + std::wstring(L"=")))
            return settings.*row.field =
                       static_cast<std::int16_t>(std::stoi(w.substr(w.find('=') + 1))),
                   true;
    return false;
}

} // namespace corv::fake
