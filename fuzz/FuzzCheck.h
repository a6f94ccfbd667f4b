#pragma once
// Property checks for the fuzz targets: a broken property prints what was expected and aborts,
// so that libFuzzer keeps the input that broke it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace corv::fuzz {

inline std::string Printable(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else {
            char buf[12];
            std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
            out += buf;
        }
    }
    return out;
}

[[noreturn]] inline void Broken(const char* what, const std::string& detail, const char* file,
                                int line) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n  %s\n", file, line, what, detail.c_str());
    std::abort();
}

} // namespace corv::fuzz

#define FUZZ_CHECK(cond, detail)                                                                   \
    do {                                                                                           \
        if (!(cond))                                                                               \
            ::corv::fuzz::Broken(#cond, (detail), __FILE__, __LINE__);                             \
    } while (false)
