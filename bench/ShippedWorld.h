#pragma once
// The world of fakes with the shipped language files at hand: what the language benchmarks
// start from.
#include <fstream>
#include <iterator>

#include "LanguageWorld.h"

namespace corv::fake {

struct ShippedWorld : LanguageWorld {
    // Puts lang/<name>, UTF-16 little-endian after its byte-order mark, into the program folder.
    void PutShipped(const std::string& name) {
        std::ifstream in(std::string(CORV_SOURCE_DIR) + "/lang/" + name, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        std::wstring text;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                         static_cast<unsigned char>(bytes[i + 1]) << 8);
        disk.Put(L"C:\\Prog\\" + std::wstring(name.begin(), name.end()), text);
    }
};

} // namespace corv::fake
