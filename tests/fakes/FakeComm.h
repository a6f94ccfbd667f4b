#pragma once
// An in-memory serial port: an input queue of bytes, a record of every call, open handles
// counted, and any chosen call failing with any chosen error.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Comm.h"
#include "platform/MessagePump.h"

namespace corv::fake {

enum class CommCall {
    Open,
    Setup,
    Purge,
    SetTimeouts,
    GetState,
    BuildDcb,
    SetState,
    ClearError,
    Read,
    Write,
    WaitOverlapped,
    Close,
};

class FakeComm : public Comm {
  public:
    // The next `times` calls of that kind fail with `error` (times < 0: every call).
    void Fail(CommCall call, std::uint32_t error, int times = -1);
    // The device goes away: opening it fails with 2, and every call on a handle to it but the
    // closing fails with 21, as for an unplugged adapter. Plug brings it back.
    void Unplug(const std::string& name);
    void Plug(const std::string& name);
    // Number of calls of that kind made so far.
    int Calls(CommCall call) const;

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
    std::uint32_t LastError() override { return lastError_; }
    std::uint32_t SystemMessage(std::uint32_t flags, std::uint32_t messageId,
                                std::uint32_t languageId, char* buffer,
                                std::uint32_t size) override;

    // The port's side.
    std::string input;                    // bytes waiting in the input queue
    std::string output;                   // bytes written
    std::uint32_t errorFlags = 0;         // what ClearError reports (and then clears)
    std::uint32_t flagsOnFailure = 0;     // added to errorFlags by a failing transfer
    std::vector<std::uint32_t> readSizes; // the size asked of each Read
    std::map<std::uint32_t, std::string> messages{
        {2, "The system cannot find the file specified.\r\n"},
        {5, "Access is denied.\r\n"},
        {21, "The device is not ready.\r\n"},
        {87, "The parameter is incorrect.\r\n"},
        {1117, "The request could not be performed because of an I/O device error.\r\n"}};
    // Devices that exist; opening another fails with 2.
    std::vector<std::string> devices{"COM1", "COM3", "COM12"};

    std::string openedName;
    std::uint32_t openAccess = 0, openShare = 0, openCreation = 0, openAttributes = 0;
    std::uint32_t setupIn = 0, setupOut = 0;
    std::vector<std::uint32_t> purgeFlags;
    CommTimeouts timeouts;
    CommDcb state; // the port's applied settings; GetState starts from it
    std::string builtFrom;
    int OpenHandles() const { return static_cast<int>(open_.size()); }

  private:
    bool Failing(CommCall call);
    bool Valid(Handle port);
    std::map<CommCall, std::deque<std::uint32_t>> failOnce_;
    std::map<CommCall, std::uint32_t> failAlways_;
    std::map<CommCall, int> calls_;
    std::vector<Handle> open_;
    std::map<Handle, std::string> names_; // of the open handles
    std::vector<Handle> dead_;            // open handles whose device went away
    Handle next_ = 100;
    std::uint32_t lastError_ = 0;
    std::uint32_t pendingRead_ = 0;
    char* pendingBuffer_ = nullptr;
    std::uint32_t pendingWrite_ = 0;
};

// Counts the passes and runs a chosen action inside each (another handler's work).
class FakeMessagePump : public MessagePump {
  public:
    void ProcessPendingMessages() override {
        ++passes;
        if (during)
            during();
    }
    int passes = 0;
    std::function<void()> during;
};

} // namespace corv::fake
