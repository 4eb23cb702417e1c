#pragma once

// The JSON the author tools print and write (check's findings, story coverage): strings escaped once, here.

#include <string>
#include <string_view>

namespace Vel {

// Appends the text as a JSON string. JSON text is UTF-8: stray bytes of another encoding become U+FFFD, as in
// script text.
void AppendJsonString(std::string& out, std::string_view utf8);

} // namespace Vel
