#pragma once
// The port driver: opens, configures, reads, writes, flushes and closes one serial port through
// the communications calls, and keeps the last failure in an error record.
#include <cstdint>
#include <string>

#include "platform/CodePage.h"
#include "platform/Comm.h"
#include "platform/MessagePump.h"

namespace corv {

namespace comm {
inline constexpr std::uint32_t kAccess = 0xC0000000u; // read and write
inline constexpr std::uint32_t kShareMode = 0;        // exclusive
inline constexpr std::uint32_t kOpenExisting = 3;
inline constexpr std::uint32_t kAttributeNormal = 0x80;
inline constexpr std::uint32_t kQueueSize = 1024;
// Abort and clear both directions.
inline constexpr std::uint32_t kPurgeTxAbort = 1;
inline constexpr std::uint32_t kPurgeRxAbort = 2;
inline constexpr std::uint32_t kPurgeTxClear = 4;
inline constexpr std::uint32_t kPurgeRxClear = 8;
inline constexpr std::uint32_t kPurgeAll =
    kPurgeTxAbort + kPurgeRxAbort + kPurgeTxClear + kPurgeRxClear;
inline constexpr std::uint32_t kReadIntervalTimeout = 0xFFFFFFFFu;
inline constexpr std::uint32_t kReadTotalTimeoutMultiplier = 0;
inline constexpr std::uint32_t kReadTotalTimeoutConstant = 1000;
inline constexpr std::uint32_t kWriteTotalTimeoutMultiplier = 1000;
inline constexpr std::uint32_t kWriteTotalTimeoutConstant = 0;
inline constexpr std::uint32_t kReceiveBufferSize = 1024;
inline constexpr std::uint32_t kMessageBufferSize = 256;
inline constexpr std::uint32_t kMessageFromSystem = 0x1000;
inline constexpr std::uint32_t kErrorIoPending = 997;
inline constexpr std::uint32_t kErrorIoIncomplete = 996;
inline constexpr wchar_t kFlagsSeparator[] = L"  COMM Error Flags = ";
inline constexpr wchar_t kPortInUse[] = L"Port in use.";
} // namespace comm

struct CommPort {
    Comm::Handle Handle = Comm::kInvalidHandle;
    bool IsOpen = false;
    CommDcb Dcb{};
    CommOverlapped Overlapped{};
};

// The last failure; overwritten by each failure, never cleared.
struct CommError {
    std::int32_t ErrorCode = 0;
    std::wstring Operation;
    std::wstring Message;
};

class modCOMM {
  public:
    modCOMM(Comm& comm, MessagePump& pump, const CodePage& codePage)
        : comm_(comm), pump_(pump), codePage_(codePage) {}
    modCOMM(const modCOMM&) = delete;
    modCOMM& operator=(const modCOMM&) = delete;

    // 0, -1 when a port is already open, else the system error number of the failed step.
    // A step failing after the device was opened closes it again.
    std::int32_t CommOpen(const std::wstring& deviceName, const std::wstring& settings);
    std::int32_t CommClose();
    std::int32_t CommFlush();
    // Reads what is waiting (at least `size` bytes are asked for when anything waits); the
    // number of bytes read, 0 when nothing waited, -1 on failure.
    std::int32_t CommRead(std::wstring& data, std::int32_t size);
    // The number of bytes written, or -1.
    std::int32_t CommWrite(const std::wstring& data);

    std::wstring GetSystemErrorText(std::int32_t errorNumber);
    std::int32_t RecordApiError(const std::wstring& operation);
    std::int32_t RecordApiErrorFlags(const std::wstring& operation);

    const CommPort& Port() const { return port_; }
    const CommError& Error() const { return error_; }

  private:
    std::int32_t Record(const std::wstring& operation, std::uint32_t error, bool withFlags);
    std::int32_t FailOpenStep(const wchar_t* operation);
    std::int32_t RecordUnexpected(const wchar_t* operation);
    void Pump(int times);

    Comm& comm_;
    MessagePump& pump_;
    const CodePage& codePage_;
    CommPort port_;
    CommError error_;
};

} // namespace corv
