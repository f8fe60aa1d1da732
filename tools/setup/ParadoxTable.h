// One Paradox table of the earlier Windows version, read through pxlib with
// its memo file, every value decoded from the Windows code page.
#pragma once

#include "SetupError.h"

#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

namespace setup {

// A refusal of the import, with its message already in Spanish.
using ImportError = SetupError;

// The Paradox field kinds the import understands (pxlib's type codes).
enum class ParadoxKind { Alpha, Date, Time, Logical, Short, Long, AutoInc, Memo, Other };

struct ParadoxField {
    QString name;
    ParadoxKind kind = ParadoxKind::Other;
    int length = 0; // bytes in the record
};

// The code page a table's header declares for its texts, converted by our
// own table (1252, and 0 for a header that does not say) or by iconv.
class CodePage {
public:
    explicit CodePage(int number);
    ~CodePage();
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    int number() const { return m_number; }
    // Whether texts in it can be converted on this system.
    bool usable() const;
    // The text of `bytes`; nothing when a byte has no character there.
    std::optional<QString> decode(const unsigned char* bytes, qsizetype size) const;

private:
    int m_number;
    void* m_iconv = nullptr;
};

// A record's values in field order: an invalid QVariant for a blank field,
// else QString (alpha, memo), QDate, QTime, bool or qint64.
using ParadoxRecord = std::vector<QVariant>;

class ParadoxTable {
public:
    // Opens `dbPath` read-only and checks it against its own header; the
    // memo file is read only when a memo does not fit in its record, and
    // may be missing until then. Throws ImportError naming the file.
    ParadoxTable(const QString& dbPath, const QString& mbPath);
    ~ParadoxTable();
    ParadoxTable(const ParadoxTable&) = delete;
    ParadoxTable& operator=(const ParadoxTable&) = delete;

    const std::vector<ParadoxField>& fields() const { return m_fields; }
    int recordCount() const { return m_recordCount; }

    // Record `index` (0-based) decoded; ImportError if it cannot be read.
    ParadoxRecord record(int index);

private:
    void checkHeader();
    ImportError damaged(const QString& why) const;
    QVariant decode(const ParadoxField& field, const unsigned char* data, int recordNumber);
    QString memo(const ParadoxField& field, const unsigned char* data, int recordNumber);

    struct Px;
    std::unique_ptr<Px> m_px;
    std::shared_ptr<CodePage> m_codec;
    QString m_dbPath;
    QString m_mbPath;
    std::vector<ParadoxField> m_fields;
    int m_recordCount = 0;
    int m_recordSize = 0;
    struct {
        int recordSize = 0;
        int records = 0;
        int fields = 0;
    } m_header; // as read by checkHeader()
};

// Windows-1252 bytes to text; the five bytes that code page leaves
// unassigned map to the control characters of the same number, as Windows does.
QString fromWindows1252(const char* bytes, qsizetype size);

} // namespace setup
