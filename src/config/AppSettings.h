#pragma once
// The one settings record of the program.
#include <cstdint>
#include <string>

namespace corv {

struct AppSettings {
    std::int16_t ComPort = 0;        // index into COM1..COM20
    std::int16_t BitsPerSecond = 11; // index into the speed list; 11 is "9600"
    std::int16_t DataBits = 4;       // index into "4".."8"
    std::int16_t Parity = 2;         // index into Even, Odd, None, Mark, Space
    std::int16_t StopBits = 0;       // index into "1", "1.5", "2"
    std::int16_t FlowControl = 2;    // index into Xon/Xoff, Hardware, None
    std::int16_t SendTo = 0;         // 0 letters and digits, 1 digits only, other: no filter
    std::int16_t Filter = 1;         // 1: Enter appended to each code
    std::int16_t Prefix = 1;         // prefix rule, see ApplyPrefix
    std::int16_t IsKeyBoard = 0;     // 1: the keyboard reader is used
    std::wstring ConfigFile;         // full path of the configuration file; never stored
    std::wstring Language = L"BG";   // two-letter interface language code
};

} // namespace corv
