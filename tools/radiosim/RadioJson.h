#pragma once

#include "Radio.h"

#include <string>

namespace rf {

// One radio's true state as a JSON object on one line, for tests to compare the program's store against.
std::string RadioJson(const Radio& radio, int64_t nowMs);

// A text as a JSON string; control characters, quotes and bytes that are not UTF-8 are escaped.
std::string JsonString(const std::string& text);

} // namespace rf
