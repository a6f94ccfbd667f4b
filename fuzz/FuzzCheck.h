#pragma once
// Property checks for the fuzz targets: a broken property prints what was expected and aborts,
// so that libFuzzer keeps the input that broke it. The detail is built only then.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace corv::fuzz {

inline std::string Printable(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text) {
        char buf[12];
        std::snprintf(buf, sizeof buf, c >= 0x20 && c < 0x7F ? "%c" : "\\u%04X", unsigned(c));
        out += buf;
    }
    return out;
}

} // namespace corv::fuzz

#define FUZZ_CHECK(cond, detail)                                                                   \
    ((cond) ? void()                                                                               \
            : (std::fprintf(stderr, "%s:%d: property broken: %s\n  %s\n", __FILE__, __LINE__,      \
                            #cond, std::string(detail).c_str()),                                   \
               std::abort()))
