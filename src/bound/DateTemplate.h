// The date edit template "!99/99/0000;1;_": the fixed ten-place text a date
// box edits, its keystrokes, and the check made when the box is left.
#pragma once

#include <QChar>
#include <QDate>
#include <QString>

namespace bound {

class DateTemplate {
public:
    // Day and month in the order of `format` (the short date format).
    explicit DateTemplate(const QString& format);

    static constexpr QChar blank = QLatin1Char('_');
    static constexpr int length = 10;

    QChar separator() const { return m_separator; }
    // "__/__/____": the text of a box whose date is empty.
    QString emptyText() const;
    // The template text of a date (empty for a null date).
    QString textOf(const QDate& date) const;

    static bool isSeparatorPlace(int position) { return position == 2 || position == 5; }
    // Digits anywhere; blanks only in the day and month places.
    static bool accepts(int position, QChar c);

    // Typing `c` over `text` at `position` (a selection is first blanked):
    // the new text and cursor, or false when the character is refused.
    bool type(QString& text, int& position, int selectionStart, int selectionLength, QChar c) const;
    // Backspace and Delete: blank the selection, else the place before or at the cursor.
    void erase(QString& text, int& position, int selectionStart, int selectionLength, bool backwards) const;

    enum class Check { Valid, BlankYear, NotADate };
    struct Result {
        Check check = Check::Valid;
        QDate date;
        QString typed; // the text as typed, blanks as spaces, for the message
    };
    Result check(const QString& text) const;

private:
    void blankRange(QString& text, int start, int length) const;

    bool m_monthFirst = false;
    QChar m_separator = QLatin1Char('/');
};

} // namespace bound
