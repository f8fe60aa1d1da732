// The message boxes and beeps a test sees instead of the real ones, while
// the log lives: one recorder for every test folder.
#pragma once

#include "platform/Dialogs.h"

#include <QApplication>
#include <QList>
#include <QStringList>
#include <QWidget>

namespace testsupport {

class MessageLog {
public:
    struct Box {
        QString title;
        QString text;
        platform::MessageIcon icon;
    };

    MessageLog()
    {
        platform::setMessageHook(
            [this](const QString& title, const QString& text, platform::MessageIcon icon) {
                boxes.append({ title, text, icon });
                titles << title;
                messages << text;
                focusAtBox.append(QApplication::focusWidget());
            });
        platform::setBeepHook([this] { ++beeps; });
    }
    ~MessageLog()
    {
        platform::setMessageHook({});
        platform::setBeepHook({});
    }
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    QList<Box> boxes;
    // The same boxes' titles and texts alone, for short comparisons.
    QStringList titles;
    QStringList messages;
    // Where the focus was when each box came up.
    QList<QWidget*> focusAtBox;
    int beeps = 0;
};

} // namespace testsupport
