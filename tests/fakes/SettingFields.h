#pragma once
// The stored fields of a settings record, in the table's order, then the language: what a
// configuration test compares after loading or saving.
#include <string>
#include <utility>
#include <vector>

#include "config/AppSettings.h"

namespace corv::fake {

using Record = std::pair<std::vector<int>, std::wstring>;

inline Record Fields(const AppSettings& s) {
    Record r{{}, s.Language};
    for (const SettingRow& row : kSettingRows)
        r.first.push_back(s.*row.field);
    return r;
}

} // namespace corv::fake
