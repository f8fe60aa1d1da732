#include "Values.h"

#include <QRegularExpression>
#include <QTime>
#include <cstring>

namespace engine::values {

namespace {

QByteArray isoDate(const QDate& date)
{
    char text[11];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year(), date.month(), date.day());
    return QByteArray(text, 10);
}

std::optional<QDate> dateOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime)
        return value.toDate();
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return std::nullopt;
    QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid()) {
        for (const char* format : { "dd/MM/yyyy", "MM/dd/yyyy" })
            if (auto parsed = parseShortDate(text, QString::fromLatin1(format)))
                return parsed;
    }
    return date;
}

int digits(const char* p, int n)
{
    int v = 0;
    for (int i = 0; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return -1;
        v = v * 10 + (p[i] - '0');
    }
    return v;
}

void appendInteger(std::string& key, qint64 value)
{
    const quint64 bits = quint64(value) ^ (quint64(1) << 63);
    char bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = char((bits >> (56 - 8 * i)) & 0xff);
    key.append(bytes, 8);
}

void appendText(std::string& key, const unsigned char* text, int size, bool noCase)
{
    key.push_back('\x03');
    const char* bytes = reinterpret_cast<const char*>(text);
    if (std::memchr(bytes, 0, size_t(size)) == nullptr) {
        const size_t from = key.size();
        key.append(bytes, size_t(size));
        if (noCase) {
            for (size_t i = from; i < key.size(); ++i)
                if (key[i] >= 'A' && key[i] <= 'Z')
                    key[i] = char(key[i] - 'A' + 'a');
        }
    } else {
        for (int i = 0; i < size; ++i) {
            unsigned char c = text[i];
            if (noCase && c >= 'A' && c <= 'Z')
                c = c - 'A' + 'a';
            key.push_back(char(c));
            if (c == 0) // an inner NUL must still sort before any other byte
                key.push_back('\xff');
        }
    }
    key.push_back('\0');
    key.push_back('\0');
}

} // namespace

Stored toStored(FieldKind kind, const QVariant& value)
{
    Stored s;
    if (!value.isValid() || value.isNull())
        return s;
    switch (kind) {
    case FieldKind::Text:
    case FieldKind::Memo:
        s.text = value.toString().toUtf8();
        if (!s.text.isEmpty())
            s.type = Stored::Type::Text;
        break;
    case FieldKind::Date:
        if (const auto date = dateOf(value);
            date && date->isValid() && date->year() >= 1 && date->year() <= 9999) {
            s.type = Stored::Type::Text;
            s.text = isoDate(*date);
        }
        break;
    case FieldKind::Time: {
        QTime time = value.typeId() == QMetaType::QTime
            ? value.toTime()
            : QTime::fromString(value.toString().trimmed(), Qt::ISODate);
        if (time.isValid()) {
            s.type = Stored::Type::Text;
            s.text = time.toString(QStringLiteral("HH:mm:ss")).toLatin1();
        }
        break;
    }
    case FieldKind::Logical:
        s.type = Stored::Type::Integer;
        if (value.typeId() == QMetaType::QString) {
            const QString t = value.toString().trimmed();
            s.integer = t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 || t == QLatin1String("1");
        } else {
            s.integer = value.toBool() ? 1 : 0;
        }
        break;
    case FieldKind::Counter:
        s.type = Stored::Type::Integer;
        s.integer = value.toLongLong();
        break;
    }
    return s;
}

void bind(sqlite3_stmt* stmt, int index, const Stored& value)
{
    switch (value.type) {
    case Stored::Type::Null:
        sqlite3_bind_null(stmt, index);
        break;
    case Stored::Type::Integer:
        sqlite3_bind_int64(stmt, index, value.integer);
        break;
    case Stored::Type::Text:
        sqlite3_bind_text(stmt, index, value.text.constData(), int(value.text.size()), SQLITE_TRANSIENT);
        break;
    }
}

QVariant read(sqlite3_stmt* stmt, int column, FieldKind kind)
{
    const int type = sqlite3_column_type(stmt, column);
    if (type == SQLITE_NULL)
        return {};
    switch (kind) {
    case FieldKind::Text:
    case FieldKind::Memo: {
        const char* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(stmt, column));
    }
    case FieldKind::Date: {
        const char* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        if (sqlite3_column_bytes(stmt, column) != 10 || t[4] != '-' || t[7] != '-')
            return {};
        const QDate date(digits(t, 4), digits(t + 5, 2), digits(t + 8, 2));
        return date.isValid() ? QVariant(date) : QVariant();
    }
    case FieldKind::Time: {
        const char* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        if (sqlite3_column_bytes(stmt, column) != 8 || t[2] != ':' || t[5] != ':')
            return {};
        const QTime time(digits(t, 2), digits(t + 3, 2), digits(t + 6, 2));
        return time.isValid() ? QVariant(time) : QVariant();
    }
    case FieldKind::Logical:
        return sqlite3_column_int64(stmt, column) != 0;
    case FieldKind::Counter:
        return qint64(sqlite3_column_int64(stmt, column));
    }
    return {};
}

void appendKey(std::string& key, const Stored& value, bool noCase)
{
    switch (value.type) {
    case Stored::Type::Null:
        key.push_back('\x01');
        break;
    case Stored::Type::Integer:
        key.push_back('\x02');
        appendInteger(key, value.integer);
        break;
    case Stored::Type::Text:
        appendText(key, reinterpret_cast<const unsigned char*>(value.text.constData()),
            int(value.text.size()), noCase);
        break;
    }
}

void appendKey(std::string& key, sqlite3_stmt* stmt, int column, bool noCase, bool textual)
{
    if (textual) {
        if (const unsigned char* text = sqlite3_column_text(stmt, column))
            appendText(key, text, sqlite3_column_bytes(stmt, column), noCase);
        else
            key.push_back('\x01');
        return;
    }
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
        key.push_back('\x01');
        break;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: // the contract stores no reals; they sort among the numbers
        key.push_back('\x02');
        appendInteger(key, sqlite3_column_int64(stmt, column));
        break;
    default: {
        const unsigned char* text = sqlite3_column_text(stmt, column);
        appendText(key, text, sqlite3_column_bytes(stmt, column), noCase);
        break;
    }
    }
}

void appendRowid(std::string& key, qint64 rowid)
{
    appendInteger(key, rowid);
}

qint64 rowidOfKey(std::string_view key)
{
    quint64 bits = 0;
    for (size_t i = key.size() - 8; i < key.size(); ++i)
        bits = (bits << 8) | quint64(static_cast<unsigned char>(key[i]));
    return qint64(bits ^ (quint64(1) << 63));
}

std::optional<QDate> parseShortDate(const QString& text, const QString& format)
{
    static const QRegularExpression shape(QStringLiteral("^ *(\\d{1,2})/ *(\\d{1,2})/(\\d{4}) *$"));
    const QRegularExpressionMatch m = shape.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const bool dayFirst = format.indexOf(QLatin1Char('d')) < format.indexOf(QLatin1Char('M'));
    const int first = m.captured(1).toInt();
    const int second = m.captured(2).toInt();
    const QDate date(m.captured(3).toInt(), dayFirst ? second : first, dayFirst ? first : second);
    if (!date.isValid() || date.year() < 1)
        return std::nullopt;
    return date;
}

} // namespace engine::values
