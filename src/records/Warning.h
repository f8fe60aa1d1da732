// The data module's rule messages as the windows show them: the registry (and
// a test that builds windows on its own data module) sets it as warnUser.
#pragma once

class QString;

namespace records {

// A beep, then a modal box with the error icon and one OK button.
void warnUser(const QString& title, const QString& text);

} // namespace records
