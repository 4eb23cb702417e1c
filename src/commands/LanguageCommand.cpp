#include "commands/LanguageCommand.h"

#include "core/PlayerSettings.h"
#include "core/TextCodec.h"

namespace Vel {

void LanguageCommand::Execute(Scene& /*scene*/)
{
    if (PlayerSettings* settings = PlayerSettings::GetSingletonPtr())
        settings->SetLanguage(m_code);
    Complete();
}

std::u16string LanguageCommand::GetDescription() const
{
    return u"Language-" + TextCodec::Utf8ToWide(m_code);
}

} // namespace Vel
