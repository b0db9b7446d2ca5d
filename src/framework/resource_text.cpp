#include "resource_text.h"

std::string GetSubstring(const std::string& text, int index) {
    if (index < 0)
        return {};
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        const size_t nl = text.find('\n', start);
        if (nl == std::string::npos)
            return {};
        start = nl + 1;
    }
    const size_t end = text.find('\n', start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

namespace {

uint16_t WordAt(const unsigned char* p, size_t i) {
    return static_cast<uint16_t>(p[2 * i] | (p[2 * i + 1] << 8));
}

} // namespace

bool ParseToolbarResource(const void* data, size_t size, ToolbarResource& out) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (!bytes || size < 8)
        return false;
    const size_t count = WordAt(bytes, 3);
    if (WordAt(bytes, 0) != 1 || size < 8 + 2 * count)
        return false;
    ToolbarResource result;
    result.nWidth = WordAt(bytes, 1);
    result.nHeight = WordAt(bytes, 2);
    if (result.nWidth == 0 || result.nHeight == 0)
        return false;
    int image = 0;
    for (size_t i = 0; i < count; ++i) {
        ToolbarButtonSpec button;
        button.nID = WordAt(bytes, 4 + i);
        button.iImage = button.nID == 0 ? -1 : image++;
        result.buttons.push_back(button);
    }
    out = result;
    return true;
}
