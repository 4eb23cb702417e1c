#pragma once

// A statement that cannot be read or carried out. Statement assembly and statement handlers throw it; the parser
// catches it and turns the message into the script error report. The message is UTF-8.

#include <stdexcept>
#include <string>

namespace Vel {

class ScriptError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace Vel
