#include "commands/LaunchCommand.h"

#include "core/HgeManager.h"
#include "core/TextCodec.h"

#include <string>

namespace Vel {

void LaunchCommand::Execute(Scene& /*scene*/)
{
    if (HGE* hge = HgeManager::Interface()) {
        // A target the opener refuses is written to the 2D library's log; the story goes on either way.
        const std::string target = TextCodec::WideToUtf8(m_target);
        hge->System_Launch(target.c_str());
    }
    Complete();
}

} // namespace Vel
