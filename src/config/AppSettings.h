#pragma once
// The one settings record of the program, and the table of its numeric settings that loading,
// saving and the Settings window's lists all go through.
#include <array>
#include <cstdint>
#include <iterator>
#include <string>

namespace corv {

struct AppSettings {
    AppSettings(); // every numeric setting at its default from kSettingRows

    std::int16_t ComPort;          // index into COM1..COM20
    std::int16_t BitsPerSecond;    // index into the speed list; 11 is "9600"
    std::int16_t DataBits;         // index into "4".."8"
    std::int16_t Parity;           // index into Even, Odd, None, Mark, Space
    std::int16_t StopBits;         // index into "1", "1.5", "2"
    std::int16_t FlowControl;      // index into Xon/Xoff, Hardware, None
    std::int16_t SendTo;           // 0 letters and digits, 1 digits only, other: no filter
    std::int16_t Filter;           // 1: Enter appended to each code
    std::int16_t Prefix;           // prefix rule, see ApplyPrefix
    std::int16_t IsKeyBoard;       // 1: the keyboard reader is used
    std::wstring ConfigFile;       // full path of the configuration file; never stored
    std::wstring Language = L"BG"; // two-letter interface language code
};

// A numeric setting: stored as the "Value" of its section of the configuration file, shown as
// the picked index of its list in the Settings window.
struct SettingRow {
    const wchar_t* section;
    const wchar_t* list;
    std::int16_t AppSettings::*field;
    std::int16_t defaultValue;
    int savePosition; // its place when the sections are written
};

// In the order the sections are read and the lists are filled. Adding a setting is one row.
inline constexpr SettingRow kSettingRows[] = {
    {L"ComPort", L"cComPort", &AppSettings::ComPort, 0, 0},
    {L"BitsPerSecond", L"cBitsPerSecond", &AppSettings::BitsPerSecond, 11, 1},
    {L"DataBits", L"cDataBits", &AppSettings::DataBits, 4, 2},
    {L"Parity", L"cParity", &AppSettings::Parity, 2, 4},
    {L"StopBits", L"cStopBits", &AppSettings::StopBits, 0, 6},
    {L"FlowControl", L"cFlowControl", &AppSettings::FlowControl, 2, 3},
    {L"SendTo", L"cSendTo", &AppSettings::SendTo, 0, 5},
    {L"cFilter", L"cFilter", &AppSettings::Filter, 1, 7},
    {L"Prefix", L"cPrefix", &AppSettings::Prefix, 1, 8},
    {L"IsKeyBoard", L"cIsKeyBoard", &AppSettings::IsKeyBoard, 0, 9},
};
inline constexpr std::size_t kSettingCount = std::size(kSettingRows);

static_assert(
    [] {
        std::array<bool, kSettingCount> taken{};
        for (const SettingRow& row : kSettingRows) {
            const auto at = static_cast<std::size_t>(row.savePosition);
            if (at >= kSettingCount || taken[at])
                return false;
            taken[at] = true;
        }
        return true;
    }(),
    "each setting has a place of its own when written");

// The rows in the order they are written (a new file keeps this order), the stored values are
// shown and the lists are read back.
inline constexpr std::array<const SettingRow*, kSettingCount> kSaveOrder = [] {
    std::array<const SettingRow*, kSettingCount> order{};
    for (const SettingRow& row : kSettingRows)
        order.at(static_cast<std::size_t>(row.savePosition)) = &row;
    return order;
}();

inline AppSettings::AppSettings() {
    for (const SettingRow& row : kSettingRows)
        this->*row.field = row.defaultValue;
}

} // namespace corv
