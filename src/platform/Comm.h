#pragma once
// The communications calls the port driver needs, one operation per platform call. Texts cross
// as 8-bit ANSI bytes; every operation that can fail reports false (or an invalid handle) and
// leaves the reason in LastError().
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace corv {

// Read and write time-outs of an open port, in milliseconds.
struct CommTimeouts {
    std::uint32_t ReadIntervalTimeout = 0;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;
};

// The port's device-control block: line settings and the packed flag word (binary mode,
// parity check, flow-control switches) exactly as the platform keeps them.
struct CommDcb {
    std::uint32_t BaudRate = 0;
    std::uint32_t Flags = 0;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t StopBits = 0; // 0 one, 1 one and a half, 2 two
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
};

// What ClearCommError reports besides the error flags.
struct CommStatus {
    std::uint32_t StateBits = 0;
    std::uint32_t InQueue = 0; // bytes waiting to be read
    std::uint32_t OutQueue = 0;
};

// Storage for the platform's overlapped-transfer record. It lives as long as the port record,
// at a fixed address, so that a pending transfer may still write into it.
struct CommOverlapped {
    alignas(8) std::array<std::byte, 32> Storage{};
};

class Comm {
  public:
    using Handle = std::intptr_t;
    static constexpr Handle kInvalidHandle = -1;

    virtual ~Comm() = default;
    virtual Handle Open(const std::string& deviceName, std::uint32_t access,
                        std::uint32_t shareMode, std::uint32_t creation,
                        std::uint32_t attributes) = 0;
    virtual bool Setup(Handle port, std::uint32_t inQueue, std::uint32_t outQueue) = 0;
    virtual bool Purge(Handle port, std::uint32_t flags) = 0;
    virtual bool SetTimeouts(Handle port, const CommTimeouts& timeouts) = 0;
    virtual bool GetState(Handle port, CommDcb& dcb) = 0;
    // Changes only what the settings text names.
    virtual bool BuildDcb(const std::string& settings, CommDcb& dcb) = 0;
    virtual bool SetState(Handle port, const CommDcb& dcb) = 0;
    virtual bool ClearError(Handle port, std::uint32_t& errorFlags, CommStatus& status) = 0;
    virtual bool Read(Handle port, char* buffer, std::uint32_t toRead, std::uint32_t& read,
                      CommOverlapped& overlapped) = 0;
    virtual bool Write(Handle port, const char* data, std::uint32_t toWrite, std::uint32_t& written,
                       CommOverlapped& overlapped) = 0;
    // Waits (when asked) for a pending transfer of that record.
    virtual bool WaitOverlapped(Handle port, CommOverlapped& overlapped, std::uint32_t& transferred,
                                bool wait) = 0;
    virtual bool Close(Handle port) = 0;
    virtual std::uint32_t LastError() = 0;
    // The system's message for an error number into buffer (at most size characters); the
    // number of characters written, 0 when there is none.
    virtual std::uint32_t SystemMessage(std::uint32_t flags, std::uint32_t messageId,
                                        std::uint32_t languageId, char* buffer,
                                        std::uint32_t size) = 0;
};

} // namespace corv
