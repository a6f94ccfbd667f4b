// The keyboard reader, from a person's keys to what the program injects. Events: dBA/27 press of
// virtual key 0xBA, scan code 0x27; u release; t press and release; after it @30 the time in ms,
// :81 the flags (hex), *9 nine times, #1 the hook code, ^ the program's own key. "silence" no
// key for the silence time; "reset" the hook installed anew; "prefix=2"; "back" what was decided
// is carried out (injected keys pass the hook); "during" what follows comes while the first code
// is typed. Then S swallowed or P passed per key, each input injected in the same notation or as
// 'text' (~ the prefix mark), and "capturing" when a capture is open. Repeats of 20 or more: x*N.
#include <gtest/gtest.h>

#include <sstream>

#include "FakeDesktop.h"

using namespace corv;

namespace {

std::string Runs(const std::vector<std::string>& tokens, const std::string& separator) {
    std::string out;
    for (std::size_t i = 0, n = 1; i < tokens.size(); i += n) {
        for (n = 1; i + n < tokens.size() && tokens[i + n] == tokens[i];)
            ++n;
        n = n < 20 ? 1 : n;
        out += (i ? separator : "") + tokens[i] + (n > 1 ? "*" + std::to_string(n) : "");
    }
    return out;
}

std::string Show(const std::vector<KeyEvent>& keys) {
    std::vector<std::string> tokens, text;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const KeyEvent& k = keys[i];
        const wchar_t c = static_cast<wchar_t>(k.scanCode);
        const bool up = k.flags & kKeyReleased, tap = !up && i + 1 < keys.size() &&
                                                      keys[i + 1].vkCode == k.vkCode &&
                                                      keys[i + 1].flags == (k.flags | kKeyReleased);
        char token[24];
        std::snprintf(token, sizeof token, "%c%02X/%02X:%02X", tap ? 't' : "du"[up], k.vkCode,
                      k.scanCode, k.flags);
        if (k.vkCode != fake::kVkPacket)
            tokens.push_back(k.flags & ~kKeyReleased ? token : std::string(token, 6));
        else if (!up)
            text.push_back(c == kPrefixMark ? "~"
                           : c < 128        ? std::string(1, static_cast<char>(c))
                                            : "{" + std::to_string(c) + "}");
        i += tap;
    }
    return Runs(tokens, " ") + (text.empty() ? "" : "'" + Runs(text, "") + "'");
}

// A code with "!" fails to be delivered.
struct Reader : fake::FakeKeyboardReader {
    Reader() {
        deliver = [this](const std::wstring& code) {
            EXPECT_FALSE(typing) << "a code typed while another is being typed";
            if (code.find(L'!') != std::wstring::npos)
                throw std::runtime_error("not delivered");
            typing = true;
            desktop.TypeText(code, true);
            Feed(std::exchange(during, ""));
            Run(), typing = false;
        };
    }
    void Feed(const std::string& events) {
        std::istringstream in(events);
        for (std::string w; in >> w;) {
            if (w == "silence" || w == "reset")
                queue.Add((w == "reset" ? ResetHookState(state) : DecideSilence(state)).After);
            else if (w == "back")
                Run();
            else if (w.starts_with("prefix="))
                prefix = static_cast<std::int16_t>(std::stoi(w.substr(7)));
            else if (w == "during")
                std::getline(in, during, '\0');
            else
                Press(w);
        }
    }
    void Press(const std::string& w) {
        char* at = nullptr;
        KeyEvent e{static_cast<std::uint32_t>(std::stoul(w.substr(1, 2), nullptr, 16)),
                   static_cast<std::uint32_t>(std::strtoul(&w.at(4), &at, 16)),
                   w[0] == 'u' ? kKeyReleased : 0u, 0, 0};
        long long code = 0, times = 1;
        while (*at) {
            const char c = *at++;
            const long long n = c == '^' ? 0 : std::strtoll(at, &at, c == ':' ? 16 : 0);
            if (c == '@' || c == ':')
                (c == '@' ? e.time : e.flags) = static_cast<std::uint32_t>(n);
            else if (c == '*' || c == '#')
                (c == '*' ? times : code) = n;
            else if (c == '^')
                e.flags |= kKeyInjected, e.dwExtraInfo = kInjectedKeyTag;
            else
                throw std::invalid_argument("bad key event: " + w);
        }
        const KeyEvent up{e.vkCode, e.scanCode, e.flags | kKeyReleased, e.time + 1, e.dwExtraInfo};
        for (long long i = 0; i < times; ++i)
            for (const KeyEvent& k : w[0] == 't' ? std::vector{e, up} : std::vector{e})
                verdicts.push_back(Key(static_cast<std::int32_t>(code), k).Swallow ? "S" : "P");
    }
    std::vector<std::string> verdicts;
    std::string during;
    bool typing = false;
};

} // namespace

TEST(KeyboardReader, Sequences) {
    const std::string k969 = " d02/00 t39/0A t36/07 t39/0A t0D/1C = SSSSSSSSP";
    const std::string rows[] = {
        // A semicolon opens on its release within 30 ms with nothing between; otherwise it is
        // a person's, given back as it was typed.
        "dBA/27@0xFFFFFFF0 uBA/27@0x0E = SS capturing",
        "dBA/27@0xFFFFFFF0 uBA/27@0x0F = SS tBA/27",
        "dBA/27 dBA/27@50 dBA/27@80 uBA/27@100 = SSSS dBA/27 dBA/27 tBA/27",
        "dBA/27 silence back dBA/27@530 uBA/27@560 = SPP dBA/27",
        "dBA/27 d42/30@10 uBA/27@20 u42/30@25 = SSSS dBA/27 d42/30 uBA/27 u42/30",
        "dA2/1D dBA/27@90 uA2/1D@100 uBA/27@180 = PSSS dBA/27 uA2/1D uBA/27",
        "dBA/27 uBA/27@5:90 = SS dBA/27 uBA/27:90",
        "dBA/28 uBA/28 dBA/27:01 uBA/27:81 dBA/27:20 uBA/27:A0 tBA/27:10 = PPPPPPPP",
        // A key waits behind keys given back until they have come through, or a silence passed.
        "dBA/27 uBA/27@99 d41/1E@110 back u41/1E@120 = SSSP tBA/27 d41/1E",
        "dBA/27 uBA/27@99 silence t41/1E@900 = SSPP tBA/27",
        // Left Shift pressed, then the 5 key within 30 ms with nothing between.
        "dA0/2A@0xFFFFFFFF d35/06@0x1D = PS capturing",
        "dA0/2A d35/06@31 u35/06@50 dA0/2A@1000 d35/06@999 dA0/36 d35/06@5 = PPPPPPP",
        "dA0/2A d35/06@30 u35/06@31 uA0/2A@32 t41/1E t42/30 t0D/1C = PSSSSSSSSS uA0/2A u0D/1C | "
        "'~AB'",
        "dA0/2A dA0/2A@500 dA0/2A@530 d35/06@540 = PPPP",
        "dA0/2A:10 d35/06@1:10 = PS capturing",
        "dA0/2A d35/06@20 u35/06@90 uA0/2A@95 silence = PSSS t35/06 uA0/2A",
        "d02/00 dA0/2A t41/1E uA0/2A t0D/1C = SSSSSSP '~A'",
        "dA2/1D d02/00 uA2/1D dA2/1D t31/02 uA2/1D t0D/1C = PSSSSSSSS uA2/1D u0D/1C | '~1'",
        // An extended right Shift with a foreign scan code; key code 2; only hook code 0.
        "dA1/10:01 uA1/10:81 t37/08 t0D/1C = SSSSSP '~7'",
        "dA1/36:01 dA1/10 dA1/10:11 = PPP",
        "d02/00 t39/0A t0D/1C = SSSSP '~9'",
        "d02/00:10 = S capturing",
        "u02/00 = S capturing",
        "d02/00#-1 d02/00 d31/02#1 t0D/1C = PSPSP '~'",
        // A capture that falls silent, outgrows its bounds or outlives the hook goes back whole.
        "dA1/10:01 t31/02 d0D/1C silence = SSSS dA1/10:01 t31/02 d0D/1C",
        "d02/00 d41/1E d41/1E@500 = SSS d02/00 d41/1E d41/1E",
        "d02/00 t41/1E*1024 t0D/1C = S*2050P '~A*1024'",
        "d02/00 t41/1E*1025 t0D/1C = S*2053 d02/00 t41/1E*1025 t0D/1C",
        "d02/00 d31/02:01*4111 = S*4112 capturing",
        "d02/00 d31/02:01*4112 = S*4113 d02/00 d31/02:01*4112",
        "d02/00 d0D/1C d31/02:01*4111 = S*4113 d02/00 d0D/1C d31/02:01*4111",
        "d02/00 t31/02 reset = SSS d02/00 t31/02",
        "dA0/2A reset d35/06@5 = PP",
        // A character counts on its release when its press was the last plain press.
        "d02/00 d41/1E d42/30 u41/1E u42/30 t0D/1C = SSSSSSP '~B'",
        "d02/00 d43/2E u43/2E:81 d44/20 u44/20:90 t0D/1C = SSSSSSP '~'",
        "d02/00 d45/12 d46/21:01 u45/12 t0D/1C = SSSSSP '~E'",
        "d02/00 t30/00 t5A/00 t60/52 t69/49 tC0/00 tBA/27 t0D/1C = SSSSSSSSSSSSSSP "
        "'~0Z09{1040}{1108}'",
        // After Enter, everything but an exact release is swallowed.
        "d02/00 t31/02 d0D/1C d32/03 u32/03:81 u32/03:90 u0D/1C = SSSSSSSP '~1'",
        "d02/00 t0D/1C t31/02@900 dBA/27@1000 uBA/27@1001 = SSPPPSS '~' capturing",
        "prefix=0" + k969 + " '969'",
        "prefix=2" + k969 + " '~969969'",
        "prefix=3" + k969 + " '~971969'",
        "prefix=4" + k969,
        // The program's own keys never open, end or feed a capture.
        "dA0/2A^ d35/06@1^ d02/00^ tBA/27@3^ = PPPPP",
        "d02/00 t31/02 t32/03^ d0D/1C^ u0D/1C = SSSPPPS capturing",
        // Carried out once each, in order: a code finished while another is typed waits its
        // turn, and a delivery that fails leaves the next one.
        "d02/00 t31/02 t0D/1C d02/00 t32/03 t0D/1C during d02/00 t38/09 t0D/1C = "
        "SSSSPSSSSPSSSSP '~1' | '~2' | '~8'",
        "d02/00 t21/49 t0D/1C d02/00 t31/02 t0D/1C = SSSSPSSSSP '~1'",
    };
    for (const std::string& row : rows) {
        Reader r;
        r.Feed(row.substr(0, row.find(" = ")));
        r.Run();
        std::string got = row.substr(0, row.find(" = ") + 3) + Runs(r.verdicts, "");
        for (std::size_t i = 0; i < r.desktop.injected.size(); ++i)
            got += (i ? " | " : " ") + Show(r.desktop.injected[i]);
        EXPECT_EQ(got + (r.state.Capturing ? " capturing" : ""), row);
    }
}
