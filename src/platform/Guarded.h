// The window's edge: every slot and event handler that can reach the engine
// runs through guarded(), so a refusal stops the failed operation there and is
// shown as the application's error box. Qt is built without exception support;
// an exception unwinding through its signal and event code skips its
// destructors and is undefined, so none may leave a handler.
#pragma once

#include <functional>
#include <type_traits>
#include <utility>

namespace platform {

// Shows the exception being handled (call only inside a catch block) as the
// error box: an engine error's message, a library error's text, or the
// program's words for lack of memory and for anything else.
void showCurrentError() noexcept;

// Runs `action`; returns false when it failed, after showing why.
template <class Action> bool guarded(Action&& action) noexcept
{
    try {
        std::invoke(std::forward<Action>(action));
        return true;
    } catch (...) {
        showCurrentError();
        return false;
    }
}

// A slot for connect() that runs a member function through guarded(); the
// signal's arguments are passed on as the member takes them.
template <class Object, class Class, class Result, class... Args>
auto guard(Object* object, Result (Class::*slot)(Args...))
{
    return [object, slot](Args... args) { guarded([&] { (object->*slot)(std::forward<Args>(args)...); }); };
}

// The same for a function object taking the signal's arguments or none.
template <class Action> auto guard(Action action)
{
    return [action = std::move(action)](auto&&... args) mutable {
        guarded([&] {
            if constexpr (std::is_invocable_v<Action&, decltype(args)...>)
                std::invoke(action, std::forward<decltype(args)>(args)...);
            else
                std::invoke(action);
        });
    };
}

} // namespace platform
