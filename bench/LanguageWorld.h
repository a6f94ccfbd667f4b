#pragma once
// The configuration store and the resource manager over the in-memory disk, with the program
// folder C:\Prog: what the language benchmarks start from.
#include <fstream>
#include <iterator>

#include "FakeDisk.h"
#include "FakeRegistry.h"
#include "config/Configuration.h"
#include "localization/ResManagerClass.h"

namespace corv::fake {

struct LanguageWorld {
    FakeDisk disk;
    FakePrivateProfile ini{disk};
    FakeFileSystem files{disk, L"C:\\Prog"};
    FakeRegistry registry; // no key and no default folder: the program's folder
    Configuration config{ini, files, registry};
    AppSettings settings;
    AppState state;
    ResManagerClass res{config, files, settings, state};

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
