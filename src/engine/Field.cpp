#include "Field.h"

#include "EngineError.h"
#include "Table.h"
#include "Values.h"

#include <QLocale>
#include <QTime>

namespace engine {

namespace {

QString& fixedDateFormat()
{
    static QString format;
    return format;
}

EngineError notADate(const QString& text)
{
    return EngineError(QStringLiteral("'%1' is not a valid date").arg(text));
}

std::optional<bool> parseBoolean(const QString& text)
{
    const QString t = text.trimmed();
    for (const char* yes : { "True", "T", "Yes", "Y", "Sí", "S", "1" })
        if (t.compare(QString::fromUtf8(yes), Qt::CaseInsensitive) == 0)
            return true;
    for (const char* no : { "False", "F", "No", "N", "0" })
        if (t.compare(QString::fromUtf8(no), Qt::CaseInsensitive) == 0)
            return false;
    return std::nullopt;
}

} // namespace

int characterCount(QStringView text)
{
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++count) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    return count;
}

QString leftCharacters(const QString& text, int characters)
{
    qsizetype i = 0;
    for (int count = 0; i < text.size() && count < characters; ++i, ++count) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    return i < text.size() ? text.left(i) : text;
}

QString shortDateFormat()
{
    if (!fixedDateFormat().isEmpty())
        return fixedDateFormat();
    // Only the order of day and month is taken from the locale; the edit
    // template always holds two day digits, two month digits, four for the year.
    const QString locale = QLocale::system().dateFormat(QLocale::ShortFormat);
    const qsizetype day = locale.indexOf(QLatin1Char('d'));
    const qsizetype month = locale.indexOf(QLatin1Char('M'));
    return month >= 0 && day >= 0 && month < day ? QStringLiteral("MM/dd/yyyy")
                                                 : QStringLiteral("dd/MM/yyyy");
}

void setShortDateFormat(const QString& format)
{
    fixedDateFormat() = format;
}

Field::Field(Table& table, FieldDef def)
    : m_table(table)
    , m_def(std::move(def))
{
}

int Field::displayWidth() const
{
    switch (m_def.kind) {
    case FieldKind::Text:
        return m_def.size;
    case FieldKind::Date:
        return 10;
    case FieldKind::Time:
        return 8;
    case FieldKind::Logical:
        return 5;
    case FieldKind::Counter:
        return 11;
    case FieldKind::Memo:
        return 10;
    }
    return 10;
}

QVariant Field::value() const
{
    return m_table.currentValue(m_column);
}

bool Field::isNull() const
{
    const QVariant v = value();
    return !v.isValid() || v.isNull();
}

QString displayText(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(shortDateFormat());
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return value.toString();
    }
}

QString Field::asString() const
{
    // The record buffer holds each kind as its own type (QDate, QTime, bool).
    return displayText(value());
}

QDate Field::asDate() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return dayZero();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    if (const auto parsed = values::parseShortDate(v.toString(), shortDateFormat()))
        return *parsed;
    return dayZero();
}

bool Field::asBoolean() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return false;
    if (v.typeId() == QMetaType::QString)
        return parseBoolean(v.toString()).value_or(false);
    return v.toBool();
}

void Field::setValue(const QVariant& value)
{
    m_table.checkStore(*this);
    if (!value.isValid() || value.isNull()) {
        m_table.storeValue(*this, QVariant());
        return;
    }
    QVariant stored;
    switch (m_def.kind) {
    case FieldKind::Text:
    case FieldKind::Memo: {
        QString text = displayText(value);
        if (m_def.kind == FieldKind::Text && m_def.size > 0)
            text = leftCharacters(text, m_def.size);
        if (!text.isEmpty())
            stored = text;
        break;
    }
    case FieldKind::Date: {
        if (value.typeId() == QMetaType::QString) {
            setAsString(value.toString());
            return;
        }
        const QDate date = value.toDate();
        if (date.isValid()) {
            if (date.year() < 1 || date.year() > 9999)
                throw notADate(date.toString(shortDateFormat()));
            stored = date;
        }
        break;
    }
    case FieldKind::Time: {
        if (value.typeId() == QMetaType::QString) {
            setAsString(value.toString());
            return;
        }
        const QTime time = value.toTime();
        if (time.isValid())
            stored = QTime(time.hour(), time.minute(), time.second());
        break;
    }
    case FieldKind::Logical:
        if (value.typeId() == QMetaType::QString) {
            setAsString(value.toString());
            return;
        }
        stored = value.toBool();
        break;
    case FieldKind::Counter:
        break; // refused by checkStore
    }
    m_table.storeValue(*this, stored);
}

void Field::setAsString(const QString& text)
{
    m_table.checkStore(*this);
    switch (m_def.kind) {
    case FieldKind::Date: {
        if (text.trimmed().isEmpty()) {
            m_table.storeValue(*this, QVariant());
            return;
        }
        const auto date = values::parseShortDate(text, shortDateFormat());
        if (!date || date->year() > 9999)
            throw notADate(text);
        m_table.storeValue(*this, *date);
        return;
    }
    case FieldKind::Time: {
        const QString t = text.trimmed();
        if (t.isEmpty()) {
            m_table.storeValue(*this, QVariant());
            return;
        }
        QTime time = QTime::fromString(t, QStringLiteral("H:mm:ss"));
        if (!time.isValid())
            time = QTime::fromString(t, QStringLiteral("H:mm"));
        if (!time.isValid())
            throw EngineError(QStringLiteral("'%1' is not a valid time").arg(text));
        m_table.storeValue(*this, time);
        return;
    }
    case FieldKind::Logical: {
        if (text.trimmed().isEmpty()) {
            m_table.storeValue(*this, QVariant());
            return;
        }
        const std::optional<bool> b = parseBoolean(text);
        if (!b)
            throw EngineError(QStringLiteral("'%1' is not a valid boolean value").arg(text));
        m_table.storeValue(*this, *b);
        return;
    }
    default:
        setValue(text);
    }
}

void Field::setAsDate(const QDate& date)
{
    setValue(date.isValid() ? QVariant(date) : QVariant());
}

void Field::setAsBoolean(bool value)
{
    setValue(value);
}

void Field::clear()
{
    setValue(QVariant());
}

} // namespace engine
