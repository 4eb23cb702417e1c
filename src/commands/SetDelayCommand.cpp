#include "commands/SetDelayCommand.h"

#include "core/TextCodec.h"
#include "scene/ClickGate.h"
#include "scene/PlayModes.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"
#include "scene/SleepAnimator.h"

#include <Poco/NumberFormatter.h>

#include <memory>

namespace Vel {

void SetDelayCommand::Execute(Scene& scene)
{
    SceneNode* dummy = scene.GetDummyNode();
    const auto skip = IsPause() ? SleepAnimator::Skip::OnClick : SleepAnimator::Skip::Never;
    auto sleep = std::make_unique<SleepAnimator>(*dummy, m_delay, skip);
    if (!GetWait()) {
        dummy->AddAnimator(std::move(sleep));
        Complete();
        return;
    }
    if (IsPause())
        PlayModes::Get().BeginPause();
    // Guarded: a click action may run this command and be destroyed while the sleep still runs.
    sleep->SetFinishCallback(Guarded(&SetDelayCommand::OnSleepFinished));
    dummy->AddAnimator(std::move(sleep));
}

std::u16string SetDelayCommand::GetDescription() const
{
    if (IsPause())
        return u"Pause";
    return u"Delay-" + TextCodec::Widen(Poco::NumberFormatter::format(m_delay));
}

void SetDelayCommand::OnSleepFinished()
{
    // The click that ended a pause must not also advance whatever comes next. A timed delay used no click, so the
    // gate stays as it is.
    if (IsPause()) {
        ClickGate::Left().Close();
        PlayModes::Get().EndLine();
    }
    Complete();
}

} // namespace Vel
