#include "core/CodeAssembler.h"

namespace corv {

void CodeAssembler::Add(const std::wstring& received) {
    if (received.empty()) {
        if (idleTicks_ < kTicksToComplete)
            ++idleTicks_;
        return;
    }
    idleTicks_ = 0;
    length_ += received.size();
    if (length_ <= kMaxCodeLength)
        buffer_ += received;
    else
        buffer_.clear(); // the code is dropped anyway; keep nothing of it
}

std::optional<CodeAssembler::Complete> CodeAssembler::TakeComplete() {
    if (idleTicks_ < kTicksToComplete)
        return std::nullopt;
    Complete done{std::move(buffer_), length_ > kMaxCodeLength, length_};
    Clear();
    return done;
}

void CodeAssembler::Clear() {
    buffer_.clear();
    length_ = 0;
    idleTicks_ = 0;
}

} // namespace corv
