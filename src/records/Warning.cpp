#include "records/Warning.h"

#include "platform/Dialogs.h"

namespace records {

void warnUser(const QString& title, const QString& text)
{
    platform::beep();
    platform::showMessage(nullptr, title, text, platform::MessageIcon::Error);
}

} // namespace records
