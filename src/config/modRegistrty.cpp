#include "config/modRegistrty.h"

#include <algorithm>

#include "common/ScopeGuard.h"

namespace corv {

std::wstring TextOfBytes(const std::vector<std::uint8_t>& bytes, std::size_t count) {
    count = std::min(count, bytes.size());
    std::wstring text;
    text.reserve(count / 2);
    for (std::size_t i = 0; i + 1 < count; i += 2)
        text.push_back(static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8)));
    return text;
}

namespace {

// Removes up to `count` terminating NUL characters.
std::wstring DropTerminators(std::wstring text, int count) {
    for (int i = 0; i < count && !text.empty() && text.back() == L'\0'; ++i)
        text.pop_back();
    return text;
}

} // namespace

RegistryValue GetRegistryValue(Registry& registry, Registry::Key root, const std::wstring& keyPath,
                               const std::wstring& valueName,
                               const std::optional<RegistryValue>& defaultValue,
                               std::uint32_t view) {
    RegistryValue result = defaultValue.value_or(RegistryValue{});
    Registry::Key handle = 0;
    if (registry.OpenKey(root, keyPath, Registry::kKeyRead | view, handle) != 0)
        return result;
    const ScopeGuard close([&] { registry.CloseKey(handle); });

    std::vector<std::uint8_t> buffer(kRegistryBufferSize);
    std::uint32_t size = kRegistryBufferSize;
    std::uint32_t type = 0;
    if (registry.QueryValue(handle, valueName, type, buffer, size) == Registry::kMoreData) {
        // The old bytes are not kept; the outcome of the second query shows in type and size.
        buffer.assign(size, 0);
        type = 0;
        registry.QueryValue(handle, valueName, type, buffer, size);
    }
    const std::size_t used = std::min<std::size_t>(size, buffer.size());

    switch (type) {
    case kRegSz:
    case kRegExpandSz:
        // Environment references of an expandable text stay as they are.
        result = DropTerminators(TextOfBytes(buffer, used), 1);
        break;
    case kRegBinary:
        buffer.resize(size);
        result = std::move(buffer);
        break;
    case kRegDword: {
        std::uint32_t n = 0;
        for (std::size_t i = 0; i < 4 && i < used; ++i)
            n |= static_cast<std::uint32_t>(buffer[i]) << (8 * i);
        result = static_cast<std::int32_t>(n);
        break;
    }
    case kRegMultiSz:
        // The NULs between the strings stay; the final pair goes.
        result = DropTerminators(TextOfBytes(buffer, used), 2);
        break;
    default:
        // Includes type 0, left by a query of a value that does not exist.
        throw RegistryError(RegistryError::kUnsupportedType, "Unsupported value type");
    }
    return result;
}

} // namespace corv
