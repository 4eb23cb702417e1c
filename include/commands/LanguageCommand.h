#pragma once

#include "scene/Command.h"

#include <string>

namespace Vel {

// Makes a language the player's preference (the empty code: the game's own texts) and reports at once. The texts
// shown from then on are in that language; the ones on the screen stay as they are.
class LanguageCommand : public Command
{
public:
    explicit LanguageCommand(std::string code) : m_code(std::move(code)) {}

    void Execute(Scene& scene) override;
    // "Language-" and the code.
    [[nodiscard]] std::u16string GetDescription() const override;

private:
    std::string m_code;
};

} // namespace Vel
