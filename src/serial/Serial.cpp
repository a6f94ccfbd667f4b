#include "serial/Serial.h"

#include "common/Text.h"

namespace corv {

std::int32_t Serial::OpenComm(std::int16_t port, const std::wstring& speed) {
    const std::wstring settings = L"baud=" + speed + kFramingSettings;
    const std::wstring device = L"COM" + DecimalText(port);
    return driver_.CommOpen(device, settings);
}

void Serial::CloseComm() {
    driver_.CommClose();
}

void Serial::CommFlush() {
    driver_.CommFlush();
}

std::int32_t Serial::ReadComm(std::wstring& data) {
    return driver_.CommRead(data, 1);
}

void Serial::WriteComm(const std::wstring& data) {
    driver_.CommWrite(data);
}

} // namespace corv
