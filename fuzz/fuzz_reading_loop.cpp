// Byte streams into the reading loop, against a model: a tick takes what waits (two receive
// buffers at most), a code ends after three empty ticks or when more comes after two, one over
// 1,024 characters is dropped (and counted in the tip), every other goes out converted, once, in
// order; a tick inside a tick does nothing. Input: byte 0 the prefix rule, then 0x00-0x3F n + 1
// ticks, 0x40-0x7F the next (n & 0x1F) + 1 bytes arrive (48 times over from 0x60), 0x80-0xFF a tick
// with one inside.
#include "FakeComm.h"
#include "FuzzCheck.h"

using namespace corv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fake::LoopWorld w;
    w.settings.Prefix = static_cast<std::int16_t>(size && data[0] % 5 < 4 ? data[0] % 5 : 7);
    w.loop.bConnectionClick();
    std::wstring waiting, code; // the model: what waits at the port, the code being read
    std::size_t length = 0, idle = 0, dropped = 0, cards = 0;
    std::vector<std::wstring> typed;
    auto complete = [&] {
        const bool card = code.find(kCardMarker) != std::wstring::npos;
        const std::wstring c = card ? HexEncode(ReplaceAll(code, kCardMarker, L""), w.cp) : code;
        const auto out =
            c.starts_with(L"969") || c.starts_with(L"971") ? c : ApplyPrefix(w.settings.Prefix, c);
        if (length <= kMaxCodeLength && !c.empty() && out)
            typed.push_back(*out);
        dropped += length > kMaxCodeLength, cards += card, code.clear(), length = 0;
    };
    auto tick = [&](bool inside) {
        w.tickInside = inside;
        w.Tick();
        w.tickInside = false;
        const std::size_t take =
            std::min<std::size_t>(waiting.size(), 2 * comm::kReceiveBufferSize);
        if (take > 0 ? idle >= 2 : ++idle == 3)
            complete();
        code += waiting.substr(0, take), waiting.erase(0, take), length += take;
        idle = take > 0 || idle == 3 ? 0 : idle;
        if (length > kMaxCodeLength)
            code.clear();
        FUZZ_CHECK(w.loop.ReadBuffer() == code && w.loop.IdleTicks() == static_cast<int>(idle) &&
                       w.delivered == typed && w.loop.DroppedCodes() == static_cast<int>(dropped) &&
                       w.window.allCharacterPicks == static_cast<int>(cards) &&
                       (w.settings.SendTo == 0) == (cards > 0) &&
                       (w.tip.find(L"strTipDropped") != std::wstring::npos) == (dropped > 0),
                   fuzz::Printable(w.loop.ReadBuffer()) + " after " + std::to_string(typed.size()) +
                       " codes");
    };
    for (std::size_t at = 1; at < size;) {
        const std::uint8_t op = data[at++];
        const std::size_t n = op >> 6 == 1 ? std::min<std::size_t>((op & 0x1F) + 1u, size - at) : 0;
        const std::string bytes(reinterpret_cast<const char*>(data + at), n);
        for (int i = 0; i < (op & 0x20 ? 48 : 1); ++i)
            w.comm.input += bytes, waiting += w.cp.FromAnsi(bytes);
        for (int i = 0; i <= (op < 0x40 ? op : -1); ++i)
            tick(false);
        if (op >= 0x80)
            tick(true);
        at += n;
    }
    for (std::size_t i = waiting.size() / 1024 + 4; i > 0; --i) // silence: all is delivered
        tick(false);
    return 0;
}
