#include "Win32Comm.h"

#include <windows.h>

#include <cstddef>
#include <cstring>

namespace corv::win32 {
namespace {

static_assert(sizeof(OVERLAPPED) <= sizeof(CommOverlapped::Storage));
static_assert(alignof(OVERLAPPED) <= alignof(CommOverlapped));

HANDLE H(Comm::Handle port) {
    return reinterpret_cast<HANDLE>(port);
}

OVERLAPPED* Ov(CommOverlapped& o) {
    return reinterpret_cast<OVERLAPPED*>(o.Storage.data());
}

// The DCB's flag bits sit in one 32-bit word right after BaudRate.
constexpr std::size_t kFlagsOffset = offsetof(DCB, BaudRate) + sizeof(DWORD);
static_assert(kFlagsOffset + sizeof(DWORD) <= offsetof(DCB, wReserved));

DCB ToDcb(const CommDcb& c) {
    DCB d{};
    d.DCBlength = sizeof(DCB);
    d.BaudRate = c.BaudRate;
    std::memcpy(reinterpret_cast<char*>(&d) + kFlagsOffset, &c.Flags, sizeof(DWORD));
    d.XonLim = c.XonLim;
    d.XoffLim = c.XoffLim;
    d.ByteSize = c.ByteSize;
    d.Parity = c.Parity;
    d.StopBits = c.StopBits;
    d.XonChar = c.XonChar;
    d.XoffChar = c.XoffChar;
    d.ErrorChar = c.ErrorChar;
    d.EofChar = c.EofChar;
    d.EvtChar = c.EvtChar;
    return d;
}

CommDcb FromDcb(const DCB& d) {
    CommDcb c;
    c.BaudRate = d.BaudRate;
    std::memcpy(&c.Flags, reinterpret_cast<const char*>(&d) + kFlagsOffset, sizeof(DWORD));
    c.XonLim = d.XonLim;
    c.XoffLim = d.XoffLim;
    c.ByteSize = d.ByteSize;
    c.Parity = d.Parity;
    c.StopBits = d.StopBits;
    c.XonChar = d.XonChar;
    c.XoffChar = d.XoffChar;
    c.ErrorChar = d.ErrorChar;
    c.EofChar = d.EofChar;
    c.EvtChar = d.EvtChar;
    return c;
}

// A plain port name is opened through the device namespace: the system knows only COM1 to
// COM9 by their bare names, so "COM10" and above fail without it; every port works with it.
std::string DevicePath(const std::string& deviceName) {
    if (deviceName.find('\\') == std::string::npos)
        return "\\\\.\\" + deviceName;
    return deviceName;
}

} // namespace

Comm::Handle Win32Comm::Open(const std::string& deviceName, std::uint32_t access,
                             std::uint32_t shareMode, std::uint32_t creation,
                             std::uint32_t attributes) {
    HANDLE h = CreateFileA(DevicePath(deviceName).c_str(), access, shareMode, nullptr, creation,
                           attributes, nullptr);
    return h == INVALID_HANDLE_VALUE ? kInvalidHandle : reinterpret_cast<Handle>(h);
}

bool Win32Comm::Setup(Handle port, std::uint32_t inQueue, std::uint32_t outQueue) {
    return SetupComm(H(port), inQueue, outQueue) != FALSE;
}

bool Win32Comm::Purge(Handle port, std::uint32_t flags) {
    return PurgeComm(H(port), flags) != FALSE;
}

bool Win32Comm::SetTimeouts(Handle port, const CommTimeouts& t) {
    COMMTIMEOUTS ct{t.ReadIntervalTimeout, t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant,
                    t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant};
    return SetCommTimeouts(H(port), &ct) != FALSE;
}

bool Win32Comm::GetState(Handle port, CommDcb& dcb) {
    DCB d{};
    d.DCBlength = sizeof(DCB);
    if (!GetCommState(H(port), &d))
        return false;
    dcb = FromDcb(d);
    return true;
}

bool Win32Comm::BuildDcb(const std::string& settings, CommDcb& dcb) {
    DCB d = ToDcb(dcb);
    if (!BuildCommDCBA(settings.c_str(), &d))
        return false;
    dcb = FromDcb(d);
    return true;
}

bool Win32Comm::SetState(Handle port, const CommDcb& dcb) {
    DCB d = ToDcb(dcb);
    return SetCommState(H(port), &d) != FALSE;
}

bool Win32Comm::ClearError(Handle port, std::uint32_t& errorFlags, CommStatus& status) {
    DWORD flags = 0;
    COMSTAT st{};
    if (!ClearCommError(H(port), &flags, &st))
        return false;
    errorFlags = flags;
    status.StateBits = 0;
    std::memcpy(&status.StateBits, &st, sizeof(DWORD)); // the packed state bits come first
    status.InQueue = st.cbInQue;
    status.OutQueue = st.cbOutQue;
    return true;
}

bool Win32Comm::Read(Handle port, char* buffer, std::uint32_t toRead, std::uint32_t& read,
                     CommOverlapped& overlapped) {
    DWORD n = 0;
    const BOOL ok = ReadFile(H(port), buffer, toRead, &n, Ov(overlapped));
    read = n;
    return ok != FALSE;
}

bool Win32Comm::Write(Handle port, const char* data, std::uint32_t toWrite, std::uint32_t& written,
                      CommOverlapped& overlapped) {
    DWORD n = 0;
    const BOOL ok = WriteFile(H(port), data, toWrite, &n, Ov(overlapped));
    written = n;
    return ok != FALSE;
}

bool Win32Comm::WaitOverlapped(Handle port, CommOverlapped& overlapped, std::uint32_t& transferred,
                               bool wait) {
    DWORD n = 0;
    const BOOL ok = GetOverlappedResult(H(port), Ov(overlapped), &n, wait ? TRUE : FALSE);
    transferred = n;
    return ok != FALSE;
}

bool Win32Comm::Close(Handle port) {
    return CloseHandle(H(port)) != FALSE;
}

std::uint32_t Win32Comm::LastError() {
    return GetLastError();
}

std::uint32_t Win32Comm::SystemMessage(std::uint32_t flags, std::uint32_t messageId,
                                       std::uint32_t languageId, char* buffer, std::uint32_t size) {
    return FormatMessageA(flags, nullptr, messageId, languageId, buffer, size, nullptr);
}

} // namespace corv::win32
