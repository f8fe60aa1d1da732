#include "ParadoxTable.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTime>

// pxlib's header declares C functions without saying so.
extern "C" {
#include <paradox.h>
}

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iconv.h>

namespace setup {

namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

quint32 bigEndian32(const unsigned char* p)
{
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
}
quint32 littleEndian32(const unsigned char* p)
{
    return quint32(p[3]) << 24 | quint32(p[2]) << 16 | quint32(p[1]) << 8 | p[0];
}

// pxlib 0.6.8 tells a blank number from a stored one by comparing with a
// 32-bit pattern held in a 64-bit long, so on this platform a blank date,
// time or counter comes back as a value; blank is all bytes zero.
bool allZero(const unsigned char* p, int length)
{
    for (int i = 0; i < length; ++i)
        if (p[i] != 0)
            return false;
    return true;
}

// Paradox stores numbers big-endian with the sign bit flipped, so that
// bytes sort as numbers do.
qint64 paradoxLong(const unsigned char* p)
{
    return qint32(bigEndian32(p) ^ 0x80000000u);
}
qint64 paradoxShort(const unsigned char* p)
{
    return qint16(quint16(p[0] << 8 | p[1]) ^ 0x8000u);
}

ParadoxKind kindOf(int type)
{
    switch (type) {
    case pxfAlpha:
        return ParadoxKind::Alpha;
    case pxfDate:
        return ParadoxKind::Date;
    case pxfTime:
        return ParadoxKind::Time;
    case pxfLogical:
        return ParadoxKind::Logical;
    case pxfShort:
        return ParadoxKind::Short;
    case pxfLong:
        return ParadoxKind::Long;
    case pxfAutoInc:
        return ParadoxKind::AutoInc;
    case pxfMemoBLOb:
        return ParadoxKind::Memo;
    default:
        return ParadoxKind::Other;
    }
}

// The byte size each kind has in a record; 0 where the table says.
int fixedLength(ParadoxKind kind)
{
    switch (kind) {
    case ParadoxKind::Date:
    case ParadoxKind::Time:
    case ParadoxKind::Long:
    case ParadoxKind::AutoInc:
        return 4;
    case ParadoxKind::Short:
        return 2;
    case ParadoxKind::Logical:
        return 1;
    default:
        return 0;
    }
}

void collectError(pxdoc_t*, int, const char* message, void* data)
{
    *static_cast<QString*>(data) = QString::fromLocal8Bit(message);
}

// Memo files are written in blocks of this size.
constexpr qint64 kMemoBlock = 4096;

} // namespace

QString fromWindows1252(const char* bytes, qsizetype size)
{
    static const char16_t high[32] = { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6,
        0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D,
        0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178 };
    QString text(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = byte >= 0x80 && byte < 0xA0 ? QChar(high[byte - 0x80]) : QChar(byte);
    }
    return text;
}

CodePage::CodePage(int number)
    : m_number(number == 0 ? 1252 : number)
{
    if (m_number == 1252)
        return;
    const QByteArray name = "CP" + QByteArray::number(m_number);
    const iconv_t cd = ::iconv_open("UTF-16LE", name.constData());
    if (cd != iconv_t(-1)) // NOLINT(performance-no-int-to-ptr): iconv's own failure value
        m_iconv = cd;
}

CodePage::~CodePage()
{
    if (m_iconv)
        ::iconv_close(iconv_t(m_iconv));
}

bool CodePage::usable() const
{
    return m_number == 1252 || m_iconv;
}

std::optional<QString> CodePage::decode(const unsigned char* bytes, qsizetype size) const
{
    if (m_number == 1252)
        return fromWindows1252(reinterpret_cast<const char*>(bytes), size);
    if (!m_iconv)
        return std::nullopt;
    // Two UTF-16 units at most for each byte, in every code page iconv has.
    QString text(size * 2 + 2, Qt::Uninitialized);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes));
    size_t inLeft = size_t(size);
    char* out = reinterpret_cast<char*>(text.data());
    size_t outLeft = size_t(text.size()) * 2;
    const auto cd = iconv_t(m_iconv);
    ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (::iconv(cd, &in, &inLeft, &out, &outLeft) == size_t(-1) || inLeft != 0
        || ::iconv(cd, nullptr, nullptr, &out, &outLeft) == size_t(-1))
        return std::nullopt;
    text.truncate((reinterpret_cast<QChar*>(out) - text.data()));
    return text;
}

struct ParadoxTable::Px {
    QString lastError;
    FILE* file = nullptr;
    pxdoc_t* doc = nullptr;

    ~Px()
    {
        if (doc) {
            PX_close(doc);
            PX_delete(doc);
        }
        if (file)
            std::fclose(file);
    }
};

ParadoxTable::ParadoxTable(const QString& dbPath, const QString& mbPath)
    : m_px(std::make_unique<Px>())
    , m_dbPath(dbPath)
    , m_mbPath(mbPath)
{
    static const bool booted = [] {
        PX_boot();
        return true;
    }();
    Q_UNUSED(booted);

    checkHeader();

    // Opened here, read-only, so pxlib never holds the file for writing.
    m_px->file = std::fopen(QFile::encodeName(dbPath).constData(), "rb");
    if (!m_px->file)
        throw ImportError(QStringLiteral("No se puede leer «%1»: %2.")
                              .arg(shown(dbPath), QString::fromLocal8Bit(std::strerror(errno))));
    m_px->doc = PX_new2(collectError, nullptr, nullptr, nullptr);
    if (!m_px->doc)
        throw ImportError(QStringLiteral("No hay memoria para leer «%1».").arg(shown(dbPath)));
    m_px->doc->errorhandler_user_data = &m_px->lastError;
    m_px->doc->warnings = px_false; // its messages are English; ours say the same
    if (PX_open_fp(m_px->doc, m_px->file) < 0)
        throw damaged(QStringLiteral("no se puede leer su cabecera"));

    const pxhead_t* head = m_px->doc->px_head;
    m_recordSize = head->px_recordsize;
    m_recordCount = head->px_numrecords;
    if (m_recordSize != m_header.recordSize || m_recordCount != m_header.records
        || head->px_numfields != m_header.fields)
        throw damaged(QStringLiteral("la cabecera no es válida"));

    // pxlib must have read the fields as they were checked.
    for (int i = 0; i < head->px_numfields; ++i) {
        const pxfield_t* f = PX_get_field(m_px->doc, i);
        const ParadoxField& field = m_fields[size_t(i)];
        if (!f || !f->px_fname || f->px_flen != field.length
            || kindOf(static_cast<unsigned char>(f->px_ftype)) != field.kind
            || m_codec->decode(
                   reinterpret_cast<const unsigned char*>(f->px_fname), qsizetype(std::strlen(f->px_fname)))
                != field.name)
            throw damaged(QStringLiteral("la descripción del campo %1 no es válida").arg(i + 1));
    }
}

// The header is checked here before pxlib sees it: pxlib 0.6.8 believes
// whatever it says, reads past the end of a cut file without noticing,
// spins for a long time over a damaged file that claims to be encrypted or
// to have thousands of fields, and reads the records from wherever a wrong
// header size puts them. Every count and size is checked against the file.
void ParadoxTable::checkHeader()
{
    QFile file(m_dbPath);
    if (!file.open(QIODevice::ReadOnly))
        throw ImportError(
            QStringLiteral("No se puede leer «%1»: %2.").arg(shown(m_dbPath), file.errorString()));
    const qint64 actual = file.size();
    const QByteArray start = file.read(0x78);
    if (start.size() < 0x78)
        throw damaged(QStringLiteral("es demasiado corto"));
    const auto* h = reinterpret_cast<const unsigned char*>(start.constData());
    const auto u16 = [](const unsigned char* p) { return int(p[0]) | int(p[1]) << 8; };
    m_header.recordSize = u16(h + 0x00);
    const qint64 headerSize = u16(h + 0x02);
    const int type = h[0x04];
    const int blockKb = h[0x05];
    m_header.records = int(littleEndian32(h + 0x06) & 0x7FFFFFFF);
    const qint64 fileBlocks = u16(h + 0x0C);
    m_header.fields = u16(h + 0x21);
    const int version = h[0x39];

    if (type != 0 && type != 2)
        throw damaged(QStringLiteral("no es un archivo de datos (.DB)"));
    if (version < 3 || version > 12)
        throw damaged(QStringLiteral("su versión de Paradox (%1) no es ninguna conocida").arg(version));
    // From version 4 on the password is in the extended header and the old
    // place holds a fixed pattern.
    const quint32 oldPlace = littleEndian32(h + 0x25);
    if ((version >= 5 ? !allZero(h + 0x5C, 4) || (oldPlace != 0 && oldPlace != 0xFF00FF00u) : oldPlace != 0))
        throw damaged(QStringLiteral("está protegida con contraseña"));
    if (blockKb != 1 && blockKb != 2 && blockKb != 3 && blockKb != 4 && blockKb != 8 && blockKb != 16
        && blockKb != 32)
        throw damaged(QStringLiteral("el tamaño de bloque de la cabecera no es válido"));
    const qint64 blockSize = qint64(blockKb) * 1024;
    // Paradox allows 255 fields of at most 255 bytes each.
    if (m_header.recordSize <= 0 || m_header.recordSize > blockSize - 6 || m_header.fields <= 0
        || m_header.fields > 255)
        throw damaged(QStringLiteral("la cabecera no es válida"));

    // The header's own parts, in order: field kinds and sizes, a pointer,
    // one pointer per field name, the table's name, then the field names.
    const qint64 fieldInfo = version >= 5 ? 0x78 : 0x58;
    const qint64 tableNameLength = version >= 12 ? 261 : 79;
    const qint64 fields = m_header.fields;
    const qint64 namesAt = fieldInfo + 2 * fields + 4 + 4 * fields + tableNameLength;
    if (headerSize < namesAt + 2 * fields)
        throw damaged(
            QStringLiteral("la cabecera es más corta de lo que ocupan sus %1 campos").arg(m_header.fields));

    // The file is exactly its header and its blocks: a header size or block
    // count that says otherwise would have the records read from elsewhere.
    const qint64 expected = headerSize + fileBlocks * blockSize;
    if (actual < expected)
        throw ImportError(
            QStringLiteral("«%1» está incompleto: mide %2 bytes y su cabecera indica %3. Puede que la copia "
                           "se cortara; cópielo de nuevo desde la instalación anterior.")
                .arg(shown(m_dbPath))
                .arg(actual)
                .arg(expected));
    if (actual > expected)
        throw damaged(QStringLiteral("mide %1 bytes y su cabecera indica %2").arg(actual).arg(expected));

    if (!file.seek(0))
        throw damaged(QStringLiteral("no se puede leer su cabecera"));
    const QByteArray header = file.read(headerSize);
    if (header.size() != headerSize)
        throw damaged(QStringLiteral("no se puede leer su cabecera"));
    const auto* hb = reinterpret_cast<const unsigned char*>(header.constData());

    // The code page the table's texts are written in.
    const int codePage = version >= 5 ? u16(hb + 0x6A) : 0;
    m_codec = std::make_shared<CodePage>(codePage);
    if (!m_codec->usable())
        throw ImportError(QStringLiteral("«%1» está escrita en la página de códigos %2, que este sistema no "
                                         "sabe convertir; no se importa nada.")
                              .arg(shown(m_dbPath))
                              .arg(codePage));

    int total = 0;
    qint64 at = namesAt;
    for (int i = 0; i < m_header.fields; ++i) {
        const int kindByte = hb[fieldInfo + qint64(2) * i];
        const int size = hb[fieldInfo + qint64(2) * i + 1];
        // Names of up to 25 characters, each ended by a zero byte, all
        // within the header.
        const void* end = at < headerSize
            ? std::memchr(hb + at, 0, size_t(std::min<qint64>(26, headerSize - at)))
            : nullptr;
        if (!end)
            throw damaged(QStringLiteral("el nombre del campo %1 no es válido").arg(i + 1));
        const qsizetype length = static_cast<const unsigned char*>(end) - (hb + at);
        const std::optional<QString> name = m_codec->decode(hb + at, length);
        if (length == 0 || !name
            || std::any_of(name->cbegin(), name->cend(), [](QChar c) { return !c.isPrint(); }))
            throw damaged(QStringLiteral("el nombre del campo %1 no es válido").arg(i + 1));
        at += length + 1;

        const ParadoxField field { *name, kindOf(kindByte), kindByte == pxfBCD ? 17 : size };
        const int fixed = fixedLength(field.kind);
        if (field.length <= 0 || (fixed && field.length != fixed)
            || (field.kind == ParadoxKind::Memo && field.length < 10))
            throw damaged(QStringLiteral("el campo %1 tiene una longitud imposible").arg(field.name));
        total += field.length;
        m_fields.push_back(field);
    }
    if (total != m_header.recordSize)
        throw damaged(QStringLiteral("los campos no suman el tamaño de registro"));

    const qint64 capacity = fileBlocks * ((blockSize - 6) / m_header.recordSize);
    if (m_header.records > capacity)
        throw damaged(
            QStringLiteral("la cabecera indica %1 registros y no caben en el archivo").arg(m_header.records));

    // pxlib only warns when the data blocks hold another number of records
    // than the header says, and then reads as many as the header says: a
    // record would be lost without a word. Each block starts with the next
    // block's number, the previous one's, and the offset of its last record.
    qint64 inBlocks = 0;
    int block = u16(h + 0x0E);
    for (qint64 seen = 0; block != 0; ++seen) {
        unsigned char head[6];
        if (seen >= fileBlocks || block > fileBlocks || !file.seek(headerSize + (block - 1) * blockSize)
            || file.read(reinterpret_cast<char*>(head), 6) != 6)
            throw damaged(QStringLiteral("la cadena de bloques de datos no es válida"));
        const int lastOffset = qint16(quint16(head[4] | head[5] << 8));
        if (lastOffset >= 0) {
            if (lastOffset % m_header.recordSize != 0 || lastOffset + m_header.recordSize > blockSize - 6)
                throw damaged(QStringLiteral("el bloque de datos %1 no es válido").arg(block));
            inBlocks += lastOffset / m_header.recordSize + 1;
        }
        block = head[0] | head[1] << 8;
    }
    if (inBlocks != m_header.records)
        throw damaged(QStringLiteral("la cabecera indica %1 registros y los bloques de datos tienen %2")
                          .arg(m_header.records)
                          .arg(inBlocks));
}

ParadoxTable::~ParadoxTable() = default;

ImportError ParadoxTable::damaged(const QString& why) const
{
    return ImportError(
        QStringLiteral("«%1» no es una tabla Paradox válida o está dañada: %2.").arg(shown(m_dbPath), why));
}

ParadoxRecord ParadoxTable::record(int index)
{
    // pxlib's text reader runs one byte past a completely full field; the
    // fields are decoded here within their lengths, and the buffer keeps
    // spare room all the same.
    std::vector<unsigned char> buffer(size_t(m_recordSize) + 16, 0);
    m_px->lastError.clear();
    if (!PX_get_record(m_px->doc, index, reinterpret_cast<char*>(buffer.data())))
        throw ImportError(
            QStringLiteral("«%1» está dañado: no se puede leer el registro %2%3.")
                .arg(shown(m_dbPath))
                .arg(index + 1)
                .arg(m_px->lastError.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(m_px->lastError)));
    ParadoxRecord values;
    values.reserve(m_fields.size());
    int offset = 0;
    for (const ParadoxField& field : m_fields) {
        values.push_back(decode(field, buffer.data() + offset, index + 1));
        offset += field.length;
    }
    return values;
}

QVariant ParadoxTable::decode(const ParadoxField& field, const unsigned char* data, int recordNumber)
{
    const auto bad = [&](const QString& why) {
        return ImportError(QStringLiteral("«%1» está dañado: en el registro %2, el campo %3 %4.")
                               .arg(shown(m_dbPath))
                               .arg(recordNumber)
                               .arg(field.name, why));
    };
    if (field.kind == ParadoxKind::Memo)
        return allZero(data, field.length) ? QVariant() : QVariant(memo(field, data, recordNumber));
    if (allZero(data, field.length))
        return {};
    switch (field.kind) {
    case ParadoxKind::Alpha: {
        const void* end = std::memchr(data, 0, size_t(field.length));
        const qsizetype size = end ? static_cast<const unsigned char*>(end) - data : field.length;
        const std::optional<QString> text = m_codec->decode(data, size);
        if (!text)
            throw bad(QStringLiteral("tiene un byte que no existe en la página de códigos %1")
                          .arg(m_codec->number()));
        return *text;
    }
    case ParadoxKind::Date: {
        // Days counted from 1 January of year 1, which is day 1.
        const QDate date = QDate::fromJulianDay(paradoxLong(data) + 1721425);
        if (!date.isValid() || date.year() < 1 || date.year() > 9999)
            throw bad(QStringLiteral("no tiene una fecha válida"));
        return date;
    }
    case ParadoxKind::Time: {
        const qint64 ms = paradoxLong(data);
        if (ms < 0 || ms >= qint64(24) * 3600 * 1000)
            throw bad(QStringLiteral("no tiene una hora válida"));
        return QTime::fromMSecsSinceStartOfDay(int(ms));
    }
    case ParadoxKind::Logical:
        // Paradox writes 0x80 for false and 0x81 for true (0 is blank).
        if (data[0] == 0x80 || data[0] == 0x81)
            return data[0] == 0x81;
        throw bad(QStringLiteral("tiene el valor lógico 0x%1, que no es ni verdadero ni falso")
                      .arg(QString::number(data[0], 16).toUpper().rightJustified(2, QLatin1Char('0'))));
    case ParadoxKind::Short:
        return paradoxShort(data);
    case ParadoxKind::Long:
    case ParadoxKind::AutoInc:
        return paradoxLong(data);
    case ParadoxKind::Memo:
    case ParadoxKind::Other:
        break;
    }
    return {};
}

// The last ten bytes of a memo field point into the memo file (offset with
// the entry number in its low byte, length, change count); the bytes before
// them hold the memo's beginning, and the whole memo when it fits there.
// The memo file is read here rather than through pxlib, whose 0.6.8 aborts
// when a memo file is attached to a table opened for reading.
QString ParadoxTable::memo(const ParadoxField& field, const unsigned char* data, int recordNumber)
{
    const int leader = field.length - 10;
    const quint32 pointer = littleEndian32(data + leader);
    const qint64 size = littleEndian32(data + leader + 4);
    const auto bad = [&](const QString& why) {
        return ImportError(
            QStringLiteral("El archivo de notas «%1» está dañado: la nota del registro %2 (campo %3) %4.")
                .arg(shown(m_mbPath))
                .arg(recordNumber)
                .arg(field.name, why));
    };
    const auto text = [&](const QByteArray& bytes) {
        qsizetype n = bytes.size();
        while (n > 0 && bytes.at(n - 1) == '\0')
            --n;
        const std::optional<QString> decoded
            = m_codec->decode(reinterpret_cast<const unsigned char*>(bytes.constData()), n);
        if (!decoded)
            throw ImportError(
                QStringLiteral("«%1» está dañado: la nota del registro %2 (campo %3) tiene un byte que "
                               "no existe en la página de códigos %4.")
                    .arg(shown(m_dbPath))
                    .arg(recordNumber)
                    .arg(field.name)
                    .arg(m_codec->number()));
        return *decoded;
    };
    if (size == 0)
        return {};
    if (size <= leader)
        return text(QByteArray(reinterpret_cast<const char*>(data), size));

    if (m_mbPath.isEmpty() || !QFileInfo(m_mbPath).isFile())
        throw ImportError(
            QStringLiteral("Falta el archivo de notas de «%1» (%2); la nota del registro %3 está en él.")
                .arg(shown(m_dbPath), QFileInfo(m_dbPath).completeBaseName() + QStringLiteral(".MB"))
                .arg(recordNumber));
    QFile mb(m_mbPath);
    if (!mb.open(QIODevice::ReadOnly))
        throw ImportError(
            QStringLiteral("No se puede leer «%1»: %2.").arg(shown(m_mbPath), mb.errorString()));
    const qint64 blockStart = pointer & 0xFFFFFF00u;
    const int entry = int(pointer & 0xFF);
    if (blockStart == 0 || blockStart % kMemoBlock != 0 || !mb.seek(blockStart))
        throw bad(QStringLiteral("apunta fuera del archivo"));
    const QByteArray block = mb.read(kMemoBlock);
    const auto* b = reinterpret_cast<const unsigned char*>(block.constData());

    qint64 start = 0;
    if (entry == 0xFF) {
        // A block of its own: type 2, block count, length, change count.
        // The length must fit in the blocks it claims.
        if (block.size() < 9 || b[0] != 2 || littleEndian32(b + 3) != size
            || 9 + size > qint64(b[1] | b[2] << 8) * kMemoBlock)
            throw bad(QStringLiteral("no está donde indica la tabla"));
        start = blockStart + 9;
    } else {
        // A block shared by small memos: type 3 and 64 entries of five bytes
        // (offset and length in 16-byte units, change count, length's remainder).
        const qsizetype at = 12 + qsizetype(entry) * 5;
        if (entry >= 64 || block.size() < at + 5 || b[0] != 3)
            throw bad(QStringLiteral("no está donde indica la tabla"));
        const qint64 units = b[at + 1];
        if (size > units * 16 || size <= (units - 1) * 16 || qint64(b[at]) * 16 + size > kMemoBlock)
            throw bad(QStringLiteral("no está donde indica la tabla"));
        start = blockStart + qint64(b[at]) * 16;
    }
    // Checked against the file before anything is read: the length comes
    // from the file, and reading it as it is would ask for up to 4 GiB.
    if (start + size > mb.size())
        throw bad(QStringLiteral("está cortada (el archivo es más corto de lo que indica la tabla)"));
    if (!mb.seek(start))
        throw bad(QStringLiteral("apunta fuera del archivo"));
    const QByteArray bytes = mb.read(size);
    if (bytes.size() != size)
        throw bad(QStringLiteral("está cortada (el archivo es más corto de lo que indica la tabla)"));
    return text(bytes);
}

} // namespace setup
