#pragma once
// The communications calls over the Win32 API (ANSI forms, as the port driver hands bytes).
#include "platform/Comm.h"

namespace corv::win32 {

class Win32Comm : public Comm {
  public:
    Handle Open(const std::string& deviceName, std::uint32_t access, std::uint32_t shareMode,
                std::uint32_t creation, std::uint32_t attributes) override;
    bool Setup(Handle port, std::uint32_t inQueue, std::uint32_t outQueue) override;
    bool Purge(Handle port, std::uint32_t flags) override;
    bool SetTimeouts(Handle port, const CommTimeouts& timeouts) override;
    bool GetState(Handle port, CommDcb& dcb) override;
    bool BuildDcb(const std::string& settings, CommDcb& dcb) override;
    bool SetState(Handle port, const CommDcb& dcb) override;
    bool ClearError(Handle port, std::uint32_t& errorFlags, CommStatus& status) override;
    bool Read(Handle port, char* buffer, std::uint32_t toRead, std::uint32_t& read,
              CommOverlapped& overlapped) override;
    bool Write(Handle port, const char* data, std::uint32_t toWrite, std::uint32_t& written,
               CommOverlapped& overlapped) override;
    bool WaitOverlapped(Handle port, CommOverlapped& overlapped, std::uint32_t& transferred,
                        bool wait) override;
    bool Close(Handle port) override;
    std::uint32_t LastError() override;
    std::uint32_t SystemMessage(std::uint32_t flags, std::uint32_t messageId,
                                std::uint32_t languageId, char* buffer,
                                std::uint32_t size) override;
};

} // namespace corv::win32
