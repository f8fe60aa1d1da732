#include "bound/DateTemplate.h"

namespace bound {

DateTemplate::DateTemplate(const QString& format)
{
    const int day = format.indexOf(QLatin1Char('d'));
    const int month = format.indexOf(QLatin1Char('M'));
    m_monthFirst = month >= 0 && day >= 0 && month < day;
    for (const QChar c : format) {
        if (!c.isLetter()) {
            m_separator = c;
            break;
        }
    }
}

QString DateTemplate::emptyText() const
{
    return QString(2, blank) + m_separator + QString(2, blank) + m_separator + QString(4, blank);
}

QString DateTemplate::textOf(const QDate& date) const
{
    if (!date.isValid())
        return emptyText();
    const int first = m_monthFirst ? date.month() : date.day();
    const int second = m_monthFirst ? date.day() : date.month();
    return QStringLiteral("%1%2%3%4%5")
        .arg(first, 2, 10, QLatin1Char('0'))
        .arg(m_separator)
        .arg(second, 2, 10, QLatin1Char('0'))
        .arg(m_separator)
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

bool DateTemplate::accepts(int position, QChar c)
{
    if (position < 0 || position >= length || isSeparatorPlace(position))
        return false;
    if (c.isDigit() && c.unicode() < 128)
        return true;
    return c == QLatin1Char(' ') && position < 6;
}

void DateTemplate::blankRange(QString& text, int start, int count) const
{
    for (int i = qMax(0, start); i < qMin(length, start + count); ++i)
        text[i] = isSeparatorPlace(i) ? m_separator : blank;
}

bool DateTemplate::type(QString& text, int& position, int selectionStart, int selectionLength, QChar c) const
{
    int at = selectionLength > 0 ? selectionStart : position;
    if (isSeparatorPlace(at))
        ++at;
    if (!accepts(at, c))
        return false;
    if (selectionLength > 0)
        blankRange(text, selectionStart, selectionLength);
    text[at] = c == QLatin1Char(' ') ? blank : c;
    position = at + 1;
    if (isSeparatorPlace(position))
        ++position;
    return true;
}

void DateTemplate::erase(
    QString& text, int& position, int selectionStart, int selectionLength, bool backwards) const
{
    if (selectionLength > 0) {
        blankRange(text, selectionStart, selectionLength);
        position = selectionStart;
        return;
    }
    int at = backwards ? position - 1 : position;
    if (isSeparatorPlace(at))
        at += backwards ? -1 : 1;
    if (at < 0 || at >= length)
        return;
    text[at] = blank;
    if (backwards)
        position = at;
}

DateTemplate::Result DateTemplate::check(const QString& text) const
{
    Result result;
    QString typed = text.leftJustified(length, blank, true);
    typed.replace(blank, QLatin1Char(' '));
    result.typed = typed;
    const QString year = typed.mid(6, 4);
    if (year.contains(QLatin1Char(' '))) {
        result.check = Check::BlankYear;
        return result;
    }
    // Leading blanks in the day and month places are part of the template.
    bool firstOk = false;
    bool secondOk = false;
    const int first = typed.mid(0, 2).trimmed().toInt(&firstOk);
    const int second = typed.mid(3, 2).trimmed().toInt(&secondOk);
    const int y = year.toInt();
    const int day = m_monthFirst ? second : first;
    const int month = m_monthFirst ? first : second;
    const QDate date(y, month, day);
    if (!firstOk || !secondOk || y < 1 || !date.isValid()) {
        result.check = Check::NotADate;
        return result;
    }
    result.date = date;
    return result;
}

} // namespace bound
