#pragma once

#include <functional>
#include <mutex>
#include <utility>

// Hooks: the seams through which the program reaches what tests stand in for (a modal loop, the
// desktop's URL handler, a help pop-up, a beep). All follow one pattern:
//
// - The module that calls through a hook owns it: a Hook<Signature> with static storage and,
//   where the program has a behaviour of its own, a fallback that runs while nothing is
//   installed.
// - Its header offers `SetXxx(std::function<Signature>)`, which installs a function and returns
//   the one installed before, for the caller to put back. Installing an empty function brings
//   the fallback back (or, without one, makes calls do nothing).
// - Installing and calling are safe from any thread. A call runs outside the hook's lock, so
//   the function called may install another.
//
// Tests install a function for one scope with test::ScopedHook (tests/support/ScopedHook.h).
namespace dividra {

template <class Signature> class Hook;

template <class R, class... Args> class Hook<R(Args...)> {
public:
    using Function = std::function<R(Args...)>;

    // Without a fallback, a call with nothing installed does nothing and returns R{}.
    explicit Hook(Function fallback = {}) : m_fallback(std::move(fallback)) {}
    Hook(const Hook&) = delete;
    Hook& operator=(const Hook&) = delete;

    // Installs `function` (empty: none) and returns the function installed before.
    Function set(Function function) {
        const std::lock_guard lock(m_mutex);
        return std::exchange(m_installed, std::move(function));
    }

    R operator()(Args... args) const {
        Function installed;
        {
            const std::lock_guard lock(m_mutex);
            installed = m_installed;
        }
        const Function& chosen = installed ? installed : m_fallback;
        if (!chosen) {
            return R();
        }
        return chosen(std::forward<Args>(args)...);
    }

private:
    mutable std::mutex m_mutex;
    Function m_installed;
    const Function m_fallback;
};

} // namespace dividra
