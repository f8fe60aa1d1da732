// The message box and the system beep, the two desktop services every
// window uses. Tests replace both through hooks to observe them.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace platform {

enum class MessageIcon { Error, Warning, Information };

// A modal box with one OK button; returns when it is closed.
void showMessage(
    QWidget* parent, const QString& title, const QString& text, MessageIcon icon = MessageIcon::Error);
void beep();

// Test hooks: while set, they are called instead of the real box and beep.
using MessageHook = std::function<void(const QString& title, const QString& text, MessageIcon icon)>;
void setMessageHook(MessageHook hook);
void setBeepHook(std::function<void()> hook);

} // namespace platform
