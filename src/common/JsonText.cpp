#include "common/JsonText.h"

namespace {

// Counts brackets outside strings; exact for any text that is JSON.
bool nestsDeeperThan(const std::string& text, int limit)
{
    int depth = 0;
    bool inString = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (inString) {
            if (c == '\\')
                ++at;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit)
                return true;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

} // namespace

nlohmann::ordered_json ParseJsonText(const std::string& text)
{
    if (nestsDeeperThan(text, kMaxJsonDepth))
        return nlohmann::ordered_json(nlohmann::ordered_json::value_t::discarded);
    return nlohmann::ordered_json::parse(text, nullptr, false);
}
