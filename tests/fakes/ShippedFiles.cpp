#include "ShippedFiles.h"

#include <fstream>
#include <iterator>

namespace corv::fake {

std::wstring ShippedLanguageText(const std::string& name) {
    std::ifstream in(std::string(CORV_SOURCE_DIR) + "/lang/" + name, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || bytes.compare(0, 2, "\xFF\xFE") != 0)
        return {};
    std::wstring text;
    for (std::size_t i = 2; i < bytes.size(); i += 2)
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                            static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

} // namespace corv::fake
