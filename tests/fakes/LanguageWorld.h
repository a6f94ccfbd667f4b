#pragma once
// The configuration store and the resource manager over the in-memory disk and registry, with
// the program in C:\Prog and no installation: what the language, configuration and Settings
// tests and the benchmarks start from.
#include "FakeDisk.h"
#include "FakeRegistry.h"
#include "common/AppState.h"
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
};

} // namespace corv::fake
