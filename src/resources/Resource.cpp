#include "resources/Resource.h"

#include <algorithm>

namespace Vel {

void Resource::RenderStretched(float x1, float y1, float /*x2*/, float /*y2*/, float opacity)
{
    Render(x1, y1, 1.0f, opacity);
}

void Resource::Update(float /*dt*/)
{
    if (!m_finished)
        Finish();
}

Resource::FinishToken Resource::SetFinishHandler(Callback<void()> handler)
{
    m_finished = IsStatic();
    if (m_finished) {
        handler();
        return 0;
    }
    if (handler.IsEmpty())
        return 0;
    m_waiting.push_back({++m_lastToken, std::move(handler)});
    return m_lastToken;
}

void Resource::RemoveFinishHandler(FinishToken token)
{
    std::erase_if(m_waiting, [token](const Waiting& waiting) { return waiting.token == token; });
}

void Resource::Finish()
{
    m_finished = true;
    // A handler may register anew (that one waits for the next finish) or remove another waiting handler whose
    // owner it is about to destroy, so the list is searched afresh after every call rather than walked once.
    const FinishToken lastDue = m_lastToken;
    for (;;) {
        const auto due = std::find_if(m_waiting.begin(), m_waiting.end(),
                                      [lastDue](const Waiting& waiting) { return waiting.token <= lastDue; });
        if (due == m_waiting.end())
            return;
        const Callback<void()> handler = std::move(due->handler);
        m_waiting.erase(due);
        handler();
    }
}

void Resource::SetShowCondition(ShowCondition condition)
{
    m_condition = std::make_unique<ShowCondition>(std::move(condition));
}

} // namespace Vel
