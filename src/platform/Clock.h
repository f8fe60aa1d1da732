// Today's date as the program sees it: the local calendar day, which tests
// replace to check the reminders of another day.
#pragma once

#include <QDate>
#include <functional>

namespace platform {

// Today's local date, or the test's date while one is set.
QDate today();
// Test hook: while set, today() answers it; an empty function restores the clock.
void setTodayHook(std::function<QDate()> hook);

} // namespace platform
