// Byte streams into the serial reading loop. A model of the loop (a tick takes what waits, three
// empty ticks end a code, so do two before more comes, a code over 1,024 characters dropped, card
// codes hex-encoded, the prefix rule, client and operator codes exempt) gives the codes that must
// be delivered; the loop must deliver exactly those, each once, in order. Ticks that arrive from
// inside a tick's message processing must change nothing.
//
// Input: byte 0 the prefix rule, then instructions: 0x00-0x3F n ticks (n + 1), 0x40-0x5F the
// next (byte & 0x1F) + 1 bytes arrive at the port (0x60-0x7F: 48 times over), 0x80-0xBF a tick from
// inside the next tick's message processing, 0xC0-0xFF bytes arrive during the next tick's message
// processing.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "FakeCodePage.h"
#include "FakeComm.h"
#include "FakeReaderWindow.h"
#include "FuzzCheck.h"
#include "core/ModMainReader.h"
#include "core/ReadingLoop.h"

using namespace corv;
using fuzz::Printable;

namespace {

struct Parts : CodeDelivery, TrayIcon, KeyboardHookControl, ResStrings {
    std::vector<std::wstring> delivered;
    void DeliverCode(const std::wstring& code) override { delivered.push_back(code); }
    void UpdateTrayIcon(int, std::int16_t) override {}
    void SetTrayTip(const std::wstring&) override {}
    bool InstallKeyboardHook() override { return true; }
    void RemoveKeyboardHook() override {}
    std::wstring ResStringComm(const std::wstring& key, const std::wstring&) override {
        return key;
    }
};

// What the loop should deliver for a complete code, worked out a second way.
std::optional<std::wstring> Expected(std::wstring code, std::int16_t prefix, const CodePage& cp,
                                     std::int16_t& sendTo) {
    if (code.find(L"CARD:") != std::wstring::npos) {
        std::wstring rest;
        for (std::size_t i = 0; i < code.size();) {
            if (code.compare(i, 5, L"CARD:") == 0) {
                i += 5;
            } else {
                rest += code[i++];
            }
        }
        static const char kDigits[] = "0123456789ABCDEF";
        code.clear();
        for (unsigned char byte : cp.ToAnsi(rest)) {
            code += static_cast<wchar_t>(kDigits[byte >> 4]);
            code += static_cast<wchar_t>(kDigits[byte & 15]);
        }
        sendTo = 0;
    }
    if (code.empty())
        return std::nullopt;
    if (code.rfind(L"969", 0) == 0 || code.rfind(L"971", 0) == 0)
        return code;
    switch (prefix) {
    case 0:
        return code;
    case 1:
        return std::wstring(1, kPrefixMark) + code;
    case 2:
        return std::wstring(1, kPrefixMark) + L"969" + code;
    case 3:
        return std::wstring(1, kPrefixMark) + L"971" + code;
    default:
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    AppSettings settings;
    settings.Prefix = static_cast<std::int16_t>(data[0] % 5 == 4 ? 7 : data[0] % 5);
    settings.SendTo = 1;
    AppState state;
    fake::FakeComm comm;
    fake::FakeMessagePump pump;
    fake::Cp1251CodePage cp;
    modCOMM driver(comm, pump, cp);
    Serial serial(driver);
    Parts parts;
    fake::FakeReaderWindow window;
    ReadingLoop loop(
        ReadingLoop::Parts{settings, state, serial, pump, cp, parts, parts, parts, parts, window});
    loop.bConnectionClick();
    FUZZ_CHECK(state.Connected, "the fake COM1 opens");

    // The model: characters waiting, the code being read and its length, empty ticks in a row.
    std::deque<wchar_t> waiting;
    std::wstring buffer;
    std::size_t length = 0;
    int idle = 0;
    int dropped = 0;
    std::int16_t modelSendTo = settings.SendTo;
    std::vector<std::wstring> expected;
    auto arrive = [&](const std::string& bytes) {
        comm.input += bytes;
        for (wchar_t c : cp.FromAnsi(bytes))
            waiting.push_back(c);
    };
    // `between` runs after the loop's tick and before the model's.
    auto tick = [&](const std::function<void()>& between = {}) {
        loop.Timer1Tick();
        pump.during = nullptr;
        if (between)
            between();
        // A tick takes what waits, a receive buffer at a time, until a read comes back short
        // or the code is past its bound.
        std::size_t take = 0;
        for (;;) {
            const std::size_t chunk = std::min<std::size_t>(1024, waiting.size() - take);
            take += chunk;
            if (chunk < 1024 || take > kMaxCodeLength)
                break;
        }
        auto complete = [&] {
            if (length > kMaxCodeLength)
                ++dropped;
            else if (auto code = Expected(buffer, settings.Prefix, cp, modelSendTo))
                expected.push_back(*code);
            buffer.clear();
            length = 0;
        };
        if (take > 0) {
            if (idle >= 2 && length > 0)
                complete(); // over 100 ms of silence ended the code before
            idle = 0;
            length += take;
            for (std::size_t i = 0; i < take; ++i) {
                buffer += waiting.front();
                waiting.pop_front();
            }
            if (length > kMaxCodeLength)
                buffer.clear();
        } else if (++idle == 3) {
            idle = 0;
            complete();
        }
        FUZZ_CHECK(loop.ReadBuffer() == buffer, Printable(loop.ReadBuffer()));
        FUZZ_CHECK(loop.IdleTicks() == idle, std::to_string(loop.IdleTicks()));
        FUZZ_CHECK(loop.DroppedCodes() == dropped, std::to_string(loop.DroppedCodes()));
        FUZZ_CHECK(parts.delivered == expected,
                   std::to_string(parts.delivered.size()) + " delivered, " +
                       std::to_string(expected.size()) + " expected; last " +
                       (parts.delivered.empty() ? "" : Printable(parts.delivered.back())));
        FUZZ_CHECK(settings.SendTo == modelSendTo, std::to_string(settings.SendTo));
    };

    for (std::size_t at = 1; at < size;) {
        const std::uint8_t op = data[at++];
        const std::size_t n = (op & 0x3F) + 1u;
        switch (op >> 6) {
        case 0:
            for (std::size_t i = 0; i < n; ++i)
                tick();
            break;
        case 1: {
            // 0x60-0x7F: the bytes come 48 times over, a stream past the code's bound.
            const std::size_t take = std::min<std::size_t>((op & 0x1F) + 1u, size - at);
            const std::string bytes(reinterpret_cast<const char*>(data + at), take);
            for (int i = 0; i < ((op & 0x20) ? 48 : 1); ++i)
                arrive(bytes);
            at += take;
            break;
        }
        case 2: {
            bool nestedRan = false;
            pump.during = [&] {
                if (!nestedRan) {
                    nestedRan = true;
                    loop.Timer1Tick(); // must do nothing
                }
            };
            tick();
            break;
        }
        default: {
            const std::size_t take = std::min(n, size - at);
            const std::string bytes(reinterpret_cast<const char*>(data + at), take);
            at += take;
            bool arrived = false;
            pump.during = [&] {
                if (!arrived) {
                    arrived = true;
                    comm.input += bytes;
                }
            };
            // Bytes that come while the driver's read processes messages, before it looks at
            // the port, are read by this very tick.
            tick([&] {
                for (wchar_t c : cp.FromAnsi(bytes))
                    waiting.push_back(c);
            });
            break;
        }
        }
    }
    // Silence at the end: whatever was read is delivered.
    const std::size_t left = waiting.size() / 1024 + 1 + 3;
    for (std::size_t i = 0; i < left; ++i)
        tick();
    FUZZ_CHECK(loop.ReadBuffer().empty(), Printable(loop.ReadBuffer()));
    return 0;
}
