#include "serial/modCOMM.h"

#include <algorithm>
#include <exception>
#include <new>
#include <vector>

#include "common/Text.h"
#include "platform/WindowLayer.h"

namespace corv {

std::int32_t modCOMM::CommOpen(const std::wstring& deviceName, const std::wstring& settings) {
    try {
        if (port_.IsOpen) {
            error_ = {-1, L"CommOpen", comm::kPortInUse};
            return -1;
        }
        const Comm::Handle handle =
            comm_.Open(codePage_.ToAnsi(deviceName), comm::kAccess, comm::kShareMode,
                       comm::kOpenExisting, comm::kAttributeNormal);
        if (handle == Comm::kInvalidHandle)
            return RecordApiError(L"CommOpen (CreateFile)");
        port_.Handle = handle;
        port_.IsOpen = true;

        if (!comm_.Setup(port_.Handle, comm::kQueueSize, comm::kQueueSize))
            return FailOpenStep(L"CommOpen (SetupComm)");
        if (!comm_.Purge(port_.Handle, comm::kPurgeAll))
            return FailOpenStep(L"CommOpen (PurgeComm)");
        const CommTimeouts timeouts{comm::kReadIntervalTimeout, comm::kReadTotalTimeoutMultiplier,
                                    comm::kReadTotalTimeoutConstant,
                                    comm::kWriteTotalTimeoutMultiplier,
                                    comm::kWriteTotalTimeoutConstant};
        if (!comm_.SetTimeouts(port_.Handle, timeouts))
            return FailOpenStep(L"CommOpen (SetCommTimeouts)");
        if (!comm_.GetState(port_.Handle, port_.Dcb))
            return FailOpenStep(L"CommOpen (GetCommState)");
        if (!comm_.BuildDcb(codePage_.ToAnsi(settings), port_.Dcb))
            return FailOpenStep(L"CommOpen (BuildCommDCB)");
        if (!comm_.SetState(port_.Handle, port_.Dcb))
            return FailOpenStep(L"CommOpen (SetCommState)");
        return 0;
    } catch (...) {
        return RecordUnexpected(L"CommOpen");
    }
}

// A port that could not be configured is not kept: the failure is recorded, the device closed
// again, so that the next open can succeed once the cause is gone.
std::int32_t modCOMM::FailOpenStep(const wchar_t* operation) {
    const std::int32_t result = RecordApiError(operation);
    if (comm_.Close(port_.Handle))
        port_.IsOpen = false;
    return result;
}

std::int32_t modCOMM::CommClose() {
    try {
        if (!port_.IsOpen)
            return 0;
        if (!comm_.Close(port_.Handle))
            return RecordApiError(L"CommClose (CloseHandle)");
        port_.IsOpen = false;
        return 0;
    } catch (...) {
        return RecordUnexpected(L"CommClose");
    }
}

std::int32_t modCOMM::CommFlush() {
    try {
        if (!comm_.Purge(port_.Handle, comm::kPurgeAll))
            return RecordApiError(L"CommFlush (PurgeComm)");
        return 0;
    } catch (...) {
        return RecordUnexpected(L"CommFlush");
    }
}

std::int32_t modCOMM::CommRead(std::wstring& data, std::int32_t size) {
    try {
        data.clear();
        std::uint32_t count = 0;
        Pump(1);
        std::uint32_t flags = 0;
        CommStatus status;
        if (!comm_.ClearError(port_.Handle, flags, status)) {
            RecordApiError(L"CommRead (ClearCommError)");
            return -1;
        }
        const std::int64_t waiting = status.InQueue;
        if (waiting <= 0)
            return 0;
        const std::int64_t wanted = std::max<std::int64_t>(size, waiting);
        const auto toRead =
            static_cast<std::uint32_t>(std::min<std::int64_t>(wanted, comm::kReceiveBufferSize));
        std::vector<char> buffer(comm::kReceiveBufferSize);
        if (!comm_.Read(port_.Handle, buffer.data(), toRead, count, port_.Overlapped)) {
            if (comm_.LastError() != comm::kErrorIoPending) {
                RecordApiErrorFlags(L"CommRead (ReadFile)");
                return -1;
            }
            while (!comm_.WaitOverlapped(port_.Handle, port_.Overlapped, count, true)) {
                if (comm_.LastError() != comm::kErrorIoIncomplete) {
                    RecordApiErrorFlags(L"CommRead (GetOverlappedResult)");
                    return -1;
                }
            }
        }
        count = std::min(count, toRead);
        data = codePage_.FromAnsi(std::string_view(buffer.data(), count));
        return static_cast<std::int32_t>(count);
    } catch (...) {
        RecordUnexpected(L"CommRead");
        return -1;
    }
}

std::int32_t modCOMM::CommWrite(const std::wstring& data) {
    std::int32_t written = 0;
    try {
        const std::string bytes = codePage_.ToAnsi(data);
        std::uint32_t count = 0;
        const bool ok =
            comm_.Write(port_.Handle, bytes.data(), static_cast<std::uint32_t>(bytes.size()), count,
                        port_.Overlapped);
        written = static_cast<std::int32_t>(count);
        // Taken before the messages run: their handlers may change the thread's last error.
        const std::uint32_t writeError = ok ? 0 : comm_.LastError();
        Pump(1);
        if (ok) {
            Pump(10);
            return written;
        }
        if (writeError != comm::kErrorIoPending) {
            Record(L"CommWrite (WriteFile)", writeError, true);
            return -1;
        }
        while (!comm_.WaitOverlapped(port_.Handle, port_.Overlapped, count, true)) {
            if (comm_.LastError() != comm::kErrorIoIncomplete) {
                RecordApiErrorFlags(L"CommWrite (GetOverlappedResult)");
                return -1;
            }
        }
        written = static_cast<std::int32_t>(count);
        Pump(10);
        return written;
    } catch (...) {
        RecordUnexpected(L"CommWrite");
        return written;
    }
}

std::wstring modCOMM::GetSystemErrorText(std::int32_t errorNumber) {
    std::vector<char> buffer(comm::kMessageBufferSize, '\0');
    const std::uint32_t n =
        comm_.SystemMessage(comm::kMessageFromSystem, static_cast<std::uint32_t>(errorNumber), 0,
                            buffer.data(), comm::kMessageBufferSize - 1);
    std::string_view text(buffer.data(), std::min<std::size_t>(n, buffer.size()));
    text = text.substr(0, text.find('\0'));
    return TrimSpaces(codePage_.FromAnsi(text));
}

std::int32_t modCOMM::RecordApiError(const std::wstring& operation) {
    return Record(operation, comm_.LastError(), false);
}

std::int32_t modCOMM::RecordApiErrorFlags(const std::wstring& operation) {
    return Record(operation, comm_.LastError(), true);
}

std::int32_t modCOMM::Record(const std::wstring& operation, std::uint32_t error, bool withFlags) {
    error_.ErrorCode = static_cast<std::int32_t>(error);
    error_.Operation = operation;
    error_.Message = GetSystemErrorText(error_.ErrorCode);
    if (withFlags) {
        // Also clears the port's error state.
        std::uint32_t flags = 0;
        CommStatus status;
        comm_.ClearError(port_.Handle, flags, status);
        error_.Message += comm::kFlagsSeparator + HexText(flags);
    }
    return error_.ErrorCode;
}

// Called from a catch block: a failure of the supporting code rather than of a platform call.
std::int32_t modCOMM::RecordUnexpected(const wchar_t* operation) {
    std::int32_t number = 5;
    std::string description = "Unexpected failure";
    try {
        throw;
    } catch (const WindowError& e) {
        number = e.Number();
        description = e.what();
    } catch (const std::bad_alloc&) {
        number = 7;
        description = "Out of memory";
    } catch (const std::exception& e) {
        description = e.what();
    } catch (...) {
    }
    error_.ErrorCode = number;
    error_.Operation = operation;
    error_.Message.assign(description.begin(), description.end());
    return number;
}

void modCOMM::Pump(int times) {
    for (int i = 0; i < times; ++i)
        pump_.ProcessPendingMessages();
}

} // namespace corv
