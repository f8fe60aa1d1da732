#include "platform/Clock.h"

namespace platform {

namespace {

std::function<QDate()>& todayHook()
{
    static std::function<QDate()> hook;
    return hook;
}

} // namespace

QDate today()
{
    return todayHook() ? todayHook()() : QDate::currentDate();
}

void setTodayHook(std::function<QDate()> hook)
{
    todayHook() = std::move(hook);
}

} // namespace platform
