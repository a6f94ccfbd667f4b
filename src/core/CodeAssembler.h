#pragma once
// Codes out of what each reading tick brings. A tick takes everything that waits at the port; a
// code is complete after three ticks in a row that brought nothing, however long it is. When
// something comes after two ticks that brought nothing, that pause (over 100 ms) is longer than
// any inside a reader's code: what came before is a code of its own, and the two never merge.
// A code longer than kMaxCodeLength is dropped whole: what is kept of it never grows past that
// bound, however long the stream runs without a pause.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace corv {

inline constexpr std::int16_t kTicksToComplete = 3;
inline constexpr std::size_t kMaxCodeLength = 1024;

class CodeAssembler {
  public:
    struct Complete {
        std::wstring code;    // empty when nothing was read, or when dropped
        bool dropped = false; // longer than kMaxCodeLength
    };

    // What one tick brought; empty when nothing.
    void Add(const std::wstring& received);
    // The code read before, on the third empty tick in a row or when something came after two;
    // otherwise nothing.
    std::optional<Complete> TakeComplete();
    // Forgets the code being read (a disconnect, a lost port, a new connection).
    void Clear();

    const std::wstring& Buffer() const { return buffer_; }
    std::int16_t IdleTicks() const { return idleTicks_; }

  private:
    Complete Finish();

    std::optional<Complete> ready_; // ended by what the last tick brought
    std::wstring buffer_;
    std::size_t length_ = 0; // of the code being read, dropped characters included
    std::int16_t idleTicks_ = 0;
};

} // namespace corv
