#pragma once
// The serial port object: a port number and a speed become the driver's device name and
// settings text, and a read hands out everything the port has received.
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
    // Hands out everything that waits at the port, up to the driver's receive buffer; returns
    // the number of bytes read, 0 for nothing waiting, -1 for a failed read. The object keeps
    // nothing back, so no byte of one connection can reach the next.
    std::int32_t ReadComm(std::wstring& data);
    void WriteComm(const std::wstring& data);

    bool IsOpen() const { return driver_.Port().IsOpen; }
    // The driver's last failure.
    const CommError& Error() const { return driver_.Error(); }

  private:
    modCOMM& driver_;
};

} // namespace corv
