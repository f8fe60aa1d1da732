#include "platform/Dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

namespace {

MessageHook& messageHook()
{
    static MessageHook hook;
    return hook;
}

QuestionHook& questionHook()
{
    static QuestionHook hook;
    return hook;
}

std::function<void()>& beepHook()
{
    static std::function<void()> hook;
    return hook;
}

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void showMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon)
{
    if (messageHook()) {
        messageHook()(title, text, icon);
        return;
    }
    // A message's lines may be parted by a lone carriage return, which a
    // plain-text label would not break on.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(boxIcon(icon), title, shown, QMessageBox::Ok, parent);
    // Plain text: a table's contents inside an error must never be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void beep()
{
    if (beepHook()) {
        beepHook()();
        return;
    }
    QApplication::beep();
}

bool askQuestion(QWidget* parent, const QString& title, const QString& text, const QString& first,
    const QString& second, bool firstIsDefault)
{
    if (questionHook())
        return questionHook()(title, text);
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton* yes = box.addButton(first, QMessageBox::AcceptRole);
    QPushButton* no = box.addButton(second, QMessageBox::RejectRole);
    box.setDefaultButton(firstIsDefault ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void setQuestionHook(QuestionHook hook)
{
    questionHook() = std::move(hook);
}

void setMessageHook(MessageHook hook)
{
    messageHook() = std::move(hook);
}

void setBeepHook(std::function<void()> hook)
{
    beepHook() = std::move(hook);
}

} // namespace platform
