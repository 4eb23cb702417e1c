#include "core/TextFile.h"

#include <cstdio>
#include <fstream>

namespace Vel {

bool WriteTextFile(const std::string& fileName, const std::string& text, std::string& error)
{
    const std::string temporary = fileName + ".new";
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file || std::rename(temporary.c_str(), fileName.c_str()) != 0) {
        std::remove(temporary.c_str());
        error = "cannot write " + fileName;
        return false;
    }
    return true;
}

} // namespace Vel
