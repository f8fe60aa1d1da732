// The message box and the system beep, the two desktop services every
// window uses. Tests replace both through hooks to observe them.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace platform {

// None: the plain box of a simple message, with no icon.
enum class MessageIcon { Error, Warning, Information, None };

// A modal box with one OK button; returns when it is closed.
void showMessage(
    QWidget* parent, const QString& title, const QString& text, MessageIcon icon = MessageIcon::Error);
void beep();

// A modal question with two buttons, captions with their letters; true when
// the first is chosen. Escape and the window's close give the second; the
// default button is the first only when `firstIsDefault`, so a question that
// destroys something is not answered by a stray Enter.
bool askQuestion(QWidget* parent, const QString& title, const QString& text, const QString& first,
    const QString& second, bool firstIsDefault);

// Test hooks: while set, they are called instead of the real box and beep.
using MessageHook = std::function<void(const QString& title, const QString& text, MessageIcon icon)>;
void setMessageHook(MessageHook hook);
void setBeepHook(std::function<void()> hook);
// Answers a question in place of the box.
using QuestionHook = std::function<bool(const QString& title, const QString& text)>;
void setQuestionHook(QuestionHook hook);

} // namespace platform
