#include "FakeComm.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace corv::fake {

void FakeComm::Fail(CommCall call, std::uint32_t error, int times) {
    if (times < 0) {
        failAlways_[call] = error;
        return;
    }
    for (int i = 0; i < times; ++i)
        failOnce_[call].push_back(error);
}

void FakeComm::Unplug(const std::string& name) {
    std::erase(devices, name);
    for (const auto& [handle, device] : names_)
        if (device == name)
            dead_.push_back(handle);
}

void FakeComm::Plug(const std::string& name) {
    devices.push_back(name);
}

int FakeComm::Calls(CommCall call) const {
    const auto it = calls_.find(call);
    return it == calls_.end() ? 0 : it->second;
}

bool FakeComm::Failing(CommCall call) {
    ++calls_[call];
    auto& once = failOnce_[call];
    if (!once.empty()) {
        lastError_ = once.front();
        once.pop_front();
        return true;
    }
    if (const auto it = failAlways_.find(call); it != failAlways_.end()) {
        lastError_ = it->second;
        return true;
    }
    return false;
}

// A handle that is not open fails as the system fails it.
bool FakeComm::Valid(Handle port) {
    if (std::find(dead_.begin(), dead_.end(), port) != dead_.end()) {
        lastError_ = 21; // the device is not ready
        return false;
    }
    if (std::find(open_.begin(), open_.end(), port) != open_.end())
        return true;
    lastError_ = 6; // invalid handle
    return false;
}

Comm::Handle FakeComm::Open(const std::string& deviceName, std::uint32_t access,
                            std::uint32_t shareMode, std::uint32_t creation,
                            std::uint32_t attributes) {
    openedName = deviceName;
    openAccess = access;
    openShare = shareMode;
    openCreation = creation;
    openAttributes = attributes;
    if (Failing(CommCall::Open))
        return kInvalidHandle;
    if (std::find(devices.begin(), devices.end(), deviceName) == devices.end()) {
        lastError_ = 2;
        return kInvalidHandle;
    }
    open_.push_back(next_);
    names_[next_] = deviceName;
    return next_++;
}

bool FakeComm::Setup(Handle port, std::uint32_t inQueue, std::uint32_t outQueue) {
    if (Failing(CommCall::Setup) || !Valid(port))
        return false;
    setupIn = inQueue;
    setupOut = outQueue;
    return true;
}

bool FakeComm::Purge(Handle port, std::uint32_t flags) {
    if (Failing(CommCall::Purge) || !Valid(port))
        return false;
    purgeFlags.push_back(flags);
    if (flags & 8)
        input.clear();
    return true;
}

bool FakeComm::SetTimeouts(Handle port, const CommTimeouts& t) {
    if (Failing(CommCall::SetTimeouts) || !Valid(port))
        return false;
    timeouts = t;
    return true;
}

bool FakeComm::GetState(Handle port, CommDcb& dcb) {
    if (Failing(CommCall::GetState) || !Valid(port))
        return false;
    dcb = state;
    return true;
}

// Understands the keys the driver's settings text uses; anything else is refused.
bool FakeComm::BuildDcb(const std::string& settings, CommDcb& dcb) {
    if (Failing(CommCall::BuildDcb))
        return false;
    builtFrom = settings;
    CommDcb result = dcb;
    std::istringstream words(settings);
    std::string word;
    while (words >> word) {
        const auto eq = word.find('=');
        const std::string key = word.substr(0, eq);
        const std::string value = eq == std::string::npos ? "" : word.substr(eq + 1);
        const bool numeric =
            !value.empty() && value.find_first_not_of("0123456789") == std::string::npos;
        if (key == "baud" && numeric && value.size() < 10)
            result.BaudRate = static_cast<std::uint32_t>(std::stoul(value));
        else if (key == "data" && numeric && value.size() == 1)
            result.ByteSize = static_cast<std::uint8_t>(value[0] - '0');
        else if (key == "parity" && value.size() == 1 &&
                 std::string("NOEMS").find(value) != std::string::npos)
            result.Parity = static_cast<std::uint8_t>(std::string("NOEMS").find(value));
        else if (key == "stop" && (value == "1" || value == "2"))
            result.StopBits = value == "1" ? 0 : 2;
        else {
            lastError_ = 87;
            return false;
        }
    }
    dcb = result;
    return true;
}

bool FakeComm::SetState(Handle port, const CommDcb& dcb) {
    if (Failing(CommCall::SetState) || !Valid(port))
        return false;
    state = dcb;
    return true;
}

bool FakeComm::ClearError(Handle port, std::uint32_t& flags, CommStatus& status) {
    if (Failing(CommCall::ClearError) || !Valid(port))
        return false;
    flags = errorFlags;
    errorFlags = 0;
    status = CommStatus{};
    status.InQueue = static_cast<std::uint32_t>(input.size());
    return true;
}

bool FakeComm::Read(Handle port, char* buffer, std::uint32_t toRead, std::uint32_t& read,
                    CommOverlapped&) {
    readSizes.push_back(toRead);
    read = 0;
    if (!Valid(port))
        return false;
    if (Failing(CommCall::Read)) {
        errorFlags |= flagsOnFailure;
        // A pending read completes through WaitOverlapped.
        pendingRead_ = toRead;
        pendingBuffer_ = buffer;
        return false;
    }
    read = std::min<std::uint32_t>(toRead, static_cast<std::uint32_t>(input.size()));
    std::memcpy(buffer, input.data(), read);
    input.erase(0, read);
    return true;
}

bool FakeComm::Write(Handle port, const char* data, std::uint32_t toWrite, std::uint32_t& written,
                     CommOverlapped&) {
    written = 0;
    if (!Valid(port))
        return false;
    if (Failing(CommCall::Write)) {
        errorFlags |= flagsOnFailure;
        pendingBuffer_ = nullptr;
        pendingWrite_ = toWrite;
        output.append(data, toWrite); // the transfer goes on in the background
        return false;
    }
    output.append(data, toWrite);
    written = toWrite;
    return true;
}

bool FakeComm::WaitOverlapped(Handle port, CommOverlapped&, std::uint32_t& transferred, bool) {
    transferred = 0;
    if (Failing(CommCall::WaitOverlapped) || !Valid(port)) {
        errorFlags |= flagsOnFailure;
        return false;
    }
    if (pendingBuffer_) {
        transferred =
            std::min<std::uint32_t>(pendingRead_, static_cast<std::uint32_t>(input.size()));
        std::memcpy(pendingBuffer_, input.data(), transferred);
        input.erase(0, transferred);
        pendingBuffer_ = nullptr;
    } else {
        transferred = pendingWrite_;
    }
    return true;
}

bool FakeComm::Close(Handle port) {
    if (Failing(CommCall::Close))
        return false;
    std::erase(dead_, port); // a handle whose device went away still closes
    if (!Valid(port))
        return false;
    open_.erase(std::find(open_.begin(), open_.end(), port));
    names_.erase(port);
    return true;
}

std::uint32_t FakeComm::SystemMessage(std::uint32_t flags, std::uint32_t messageId,
                                      std::uint32_t languageId, char* buffer, std::uint32_t size) {
    const auto it = messages.find(messageId);
    if (flags != 0x1000 || languageId != 0 || it == messages.end() || it->second.size() >= size) {
        lastError_ = 317; // no message for that number
        return 0;
    }
    std::memcpy(buffer, it->second.data(), it->second.size());
    buffer[it->second.size()] = '\0';
    return static_cast<std::uint32_t>(it->second.size());
}

} // namespace corv::fake
