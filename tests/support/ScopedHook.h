#pragma once

#include <type_traits>
#include <utility>

namespace dividra::test {

// Installs a function through a hook's SetXxx (platform/Hook.h) for one scope, then puts the
// previous one back: `test::ScopedHook beeps(SetBeepHook, [&](unsigned) { ++count; });`.
template <class Function> class ScopedHook {
public:
    ScopedHook(Function (*set)(Function), std::type_identity_t<Function> function)
        : m_set(set), m_previous(set(std::move(function))) {}
    ~ScopedHook() { m_set(std::move(m_previous)); }
    ScopedHook(const ScopedHook&) = delete;
    ScopedHook& operator=(const ScopedHook&) = delete;

private:
    Function (*m_set)(Function);
    Function m_previous;
};

} // namespace dividra::test
