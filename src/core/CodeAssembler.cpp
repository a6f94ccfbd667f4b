#include "core/CodeAssembler.h"

namespace corv {

void CodeAssembler::Add(const std::wstring& received) {
    if (received.empty()) {
        if (idleTicks_ < kTicksToComplete)
            ++idleTicks_;
        return;
    }
    if (idleTicks_ >= kTicksToComplete - 1 && length_ > 0)
        ready_ = Finish();
    idleTicks_ = 0;
    length_ += received.size();
    if (length_ <= kMaxCodeLength)
        buffer_ += received;
    else
        buffer_.clear(); // the code is dropped anyway; keep nothing of it
}

std::optional<CodeAssembler::Complete> CodeAssembler::TakeComplete() {
    if (ready_) {
        std::optional<Complete> done = std::move(ready_);
        ready_.reset();
        return done;
    }
    if (idleTicks_ < kTicksToComplete)
        return std::nullopt;
    idleTicks_ = 0;
    return Finish();
}

CodeAssembler::Complete CodeAssembler::Finish() {
    Complete done{std::move(buffer_), length_ > kMaxCodeLength};
    buffer_.clear();
    length_ = 0;
    return done;
}

void CodeAssembler::Clear() {
    ready_.reset();
    buffer_.clear();
    length_ = 0;
    idleTicks_ = 0;
}

} // namespace corv
