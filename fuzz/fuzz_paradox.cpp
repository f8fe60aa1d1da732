// Fuzzes the reader of the earlier version's Paradox tables (header checks,
// records, memos in the .MB file). The first byte chooses: even, the rest is
// a .DB alone; odd, four bytes give the .DB's length and what follows it is
// its .MB.
#include "ParadoxTable.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> folder;

void write(const QString& path, const uint8_t* data, std::size_t size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Memory-backed where there is one: the files are rewritten every run.
    const QString base = QFile::exists(QStringLiteral("/dev/shm"))
        ? QStringLiteral("/dev/shm/fuzz_paradox-XXXXXX")
        : QString();
    folder = base.isEmpty() ? std::make_unique<QTemporaryDir>() : std::make_unique<QTemporaryDir>(base);
    return folder->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const QString db = folder->filePath(QStringLiteral("TABLA.DB"));
    const QString mb = folder->filePath(QStringLiteral("TABLA.MB"));
    QFile::remove(mb);
    const uint8_t* rest = data + 1;
    std::size_t restSize = size - 1;
    if (data[0] % 2 == 1 && restSize >= 4) {
        const std::size_t dbSize = std::min<std::size_t>(
            restSize - 4, std::size_t(rest[0]) | std::size_t(rest[1]) << 8 | std::size_t(rest[2]) << 16);
        write(db, rest + 4, dbSize);
        write(mb, rest + 4 + dbSize, restSize - 4 - dbSize);
    } else {
        write(db, rest, restSize);
    }
    try {
        setup::ParadoxTable table(db, mb);
        for (const setup::ParadoxField& field : table.fields())
            (void)field.name.size();
        // Enough records to go through several blocks, few enough to stay quick.
        const int records = std::min(table.recordCount(), 1000);
        for (int i = 0; i < records; ++i)
            table.record(i);
    } catch (const setup::ImportError&) {
    }
    return 0;
}
