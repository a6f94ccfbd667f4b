#pragma once
// The serial port object: a port number and a speed become the driver's device name and
// settings text, and the driver's bulk reads become a stream of single characters.
#include <cstdint>
#include <string>

#include "serial/modCOMM.h"

namespace corv {

// Framing is fixed: eight data bits, no parity, one stop bit, no flow-control keys.
inline constexpr wchar_t kFramingSettings[] = L" parity=N data=8 stop=1";

class Serial {
  public:
    explicit Serial(modCOMM& driver) : driver_(driver) {}

    // 0 when the port is open and configured, else the driver's result.
    std::int32_t OpenComm(std::int16_t port, const std::wstring& speed);
    void CloseComm();
    void CommFlush();
    // Hands out at most one received character; returns what the read underneath returned
    // (bytes read, 0 for nothing waiting, -1 for a failed read).
    std::int32_t ReadComm(std::wstring& data);
    void WriteComm(const std::wstring& data);

    const std::wstring& Pending() const { return pending_; }

  private:
    modCOMM& driver_;
    std::wstring pending_; // received, not yet handed out, oldest first
};

} // namespace corv
