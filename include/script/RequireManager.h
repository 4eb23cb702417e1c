#pragma once

// The manager a statement acts on. The managers exist from start-up on; a statement read without one (a tool or a
// test that reads scripts alone) is a script error naming the statement, never the singleton's fatal assertion.

#include "core/TextCodec.h"
#include "script/ScriptError.h"

#include <string_view>

namespace Vel {

template <typename Manager> [[nodiscard]] Manager& RequireManager(std::u16string_view statement)
{
    Manager* manager = Manager::GetSingletonPtr();
    if (manager == nullptr)
        throw ScriptError(TextCodec::WideToUtf8(statement) + " cannot be read before the game's managers exist");
    return *manager;
}

} // namespace Vel
