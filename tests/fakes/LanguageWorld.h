#pragma once
// The configuration store and the resource manager over the in-memory disk, with the program
// folder C:\Prog: what the language benchmarks and fuzzers start from.
#include "FakeDisk.h"
#include "FakeRegistry.h"
#include "ShippedFiles.h"
#include "common/AppState.h"
#include "config/Configuration.h"
#include "localization/ResManagerClass.h"

namespace corv::fake {

struct LanguageWorld {
    FakeDisk disk;
    FakePrivateProfile ini{disk};
    FakeFileSystem files{disk, L"C:\\Prog"};
    FakeRegistry registry;
    Configuration config{ini, files, registry};
    AppSettings settings;
    AppState state;
    ResManagerClass res{config, files, settings, state};

    // Puts a shipped language file ("Common.lng", "Forms.lng") into the program folder.
    void PutShipped(const std::string& name) {
        disk.Put(L"C:\\Prog\\" + std::wstring(name.begin(), name.end()), ShippedLanguageText(name));
    }
};

} // namespace corv::fake
