#pragma once

// A reference to a callable that the callee uses only during the call: no allocation, no
// copy of the callable, unlike std::function. Internal to the engine.

#include <type_traits>
#include <utility>

namespace vexa::effects {

template <typename Signature> class FunctionRef;

template <typename R, typename... Args> class FunctionRef<R(Args...)> {
public:
    template <typename F>
    requires(!std::is_same_v<std::remove_cvref_t<F>, FunctionRef>)
        FunctionRef(F&& callable) // NOLINT: converts like a function parameter would
        : object_(const_cast<void*>(static_cast<const void*>(&callable))),
          call_([](void* object, Args... args) -> R {
              return (*static_cast<std::remove_reference_t<F>*>(object))(
                  std::forward<Args>(args)...);
          }) {}

    R operator()(Args... args) const { return call_(object_, std::forward<Args>(args)...); }

private:
    void* object_;
    R (*call_)(void*, Args...);
};

} // namespace vexa::effects
