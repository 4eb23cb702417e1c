#pragma once

// Base of every manager: the one instance of T registers itself on construction and is reachable from everywhere
// through GetSingleton until it is destroyed. Making a second instance, or destroying one when none is registered,
// is a programmer error that ends the process at once: a manager must never be silently replaced.

#include <cstdio>
#include <cstdlib>

namespace Vel {

[[noreturn]] inline void SingletonFailure(const char* assertion)
{
    std::fprintf(stderr, "Assertion failed: %s\n", assertion);
    std::fflush(stderr);
    std::abort();
}

template <typename T>
class Singleton
{
public:
    Singleton(const Singleton&) = delete;
    Singleton& operator=(const Singleton&) = delete;

    [[nodiscard]] static T& GetSingleton()
    {
        if (!ms_Singleton)
            SingletonFailure("ms_Singleton");
        return static_cast<T&>(*ms_Singleton);
    }
    // nullptr while no instance exists.
    [[nodiscard]] static T* GetSingletonPtr() { return static_cast<T*>(ms_Singleton); }

protected:
    Singleton()
    {
        if (ms_Singleton)
            SingletonFailure("!ms_Singleton");
        // Kept as the base: while this constructor runs, the T part does not exist yet to be pointed at.
        ms_Singleton = this;
    }
    ~Singleton()
    {
        if (!ms_Singleton)
            SingletonFailure("ms_Singleton");
        ms_Singleton = nullptr;
    }

    static inline Singleton* ms_Singleton = nullptr;
};

} // namespace Vel
