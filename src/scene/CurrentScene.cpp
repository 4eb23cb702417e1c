#include "scene/CurrentScene.h"

#include <utility>

namespace Vel {

namespace {

Callback<Scene*()>& Accessor()
{
    static Callback<Scene*()> s_accessor;
    return s_accessor;
}

} // namespace

void CurrentScene::SetAccessor(Callback<Scene*()> accessor)
{
    Accessor() = std::move(accessor);
}

Scene* CurrentScene::Get()
{
    return Accessor()();
}

} // namespace Vel
