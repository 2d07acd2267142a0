#pragma once

#include <nlohmann/json.hpp>
#include <string>

// Deeper than any request or reply the tool reads. The JSON library copies and
// writes out nested values recursively, so a text nested far deeper would
// overflow the stack of whoever touches it.
constexpr int kMaxJsonDepth = 512;

// The text parsed as JSON; a discarded value when it is no JSON or nests its
// arrays and objects deeper than kMaxJsonDepth.
nlohmann::ordered_json ParseJsonText(const std::string& text);
