#pragma once
// Reading one registry value of any of the five supported types as a tagged value.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "platform/Registry.h"

namespace corv {

// Value type codes, as the system reports them.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// First size of the receive buffer, in bytes; a longer value is read by a second query.
inline constexpr std::uint32_t kRegistryBufferSize = 1024;

// Empty, a text, a 32-bit signed integer or a byte array.
using RegistryValue =
    std::variant<std::monostate, std::wstring, std::int32_t, std::vector<std::uint8_t>>;

// A failure raised by the registry reader: the value exists in a form it cannot read.
class RegistryError : public std::runtime_error {
  public:
    static constexpr int kUnsupportedType = 1001;
    RegistryError(int number, const std::string& description)
        : std::runtime_error(description), number_(number) {}
    int Number() const { return number_; }

  private:
    int number_;
};

// Reads a value. The text of the seam is UTF-16 (two bytes a character, little-endian).
// Returns the default (or empty) only when the key cannot be opened; a missing value or one of
// another type throws RegistryError 1001 "Unsupported value type". The key is closed on every
// path that opened it. `view` is added to the access mask (Registry::kView32 / kView64 or 0).
RegistryValue GetRegistryValue(Registry& registry, Registry::Key root, const std::wstring& keyPath,
                               const std::wstring& valueName,
                               const std::optional<RegistryValue>& defaultValue = std::nullopt,
                               std::uint32_t view = 0);

// The text of UTF-16 little-endian bytes (an odd last byte is ignored).
std::wstring TextOfBytes(const std::vector<std::uint8_t>& bytes, std::size_t count);

} // namespace corv
