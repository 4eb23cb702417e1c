#pragma once

// The engine's one callback form: a target object and one of its member functions, or any callable. Calling an
// empty callback does nothing and returns a default value, so owners never test before calling.

#include <functional>
#include <type_traits>
#include <utility>

namespace Vel {

template <typename Signature>
class Callback;

template <typename R, typename... Args>
class Callback<R(Args...)>
{
public:
    Callback() = default;

    template <typename F>
        requires(!std::is_same_v<std::decay_t<F>, Callback>)
    explicit Callback(F function) : m_function(std::move(function))
    {
    }

    // Binds a member function; target must outlive every call of the callback.
    template <typename T>
    Callback(T* target, R (T::*member)(Args...))
    {
        if (target && member)
            m_function = [target, member](Args... args) { return (target->*member)(std::forward<Args>(args)...); };
    }

    [[nodiscard]] bool IsEmpty() const { return !m_function; }
    explicit operator bool() const { return static_cast<bool>(m_function); }

    R operator()(Args... args) const
    {
        if (!m_function) {
            if constexpr (std::is_void_v<R>)
                return;
            else
                return R{};
        }
        return m_function(std::forward<Args>(args)...);
    }

private:
    std::function<R(Args...)> m_function;
};

} // namespace Vel
