// Fuzzes the alias file reader and the rewrite that keeps every other line:
// whatever the file holds, a folder that was registered reads back as it was
// written, or the registration is refused with the file unchanged.
#include "engine/AliasRegistry.h"
#include "engine/EngineError.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> folder;

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const QString base = QFile::exists(QStringLiteral("/dev/shm"))
        ? QStringLiteral("/dev/shm/fuzz_aliases-XXXXXX")
        : QString();
    folder = base.isEmpty() ? std::make_unique<QTemporaryDir>() : std::make_unique<QTemporaryDir>(base);
    return folder->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const QString path = folder->filePath(QStringLiteral("aliases.conf"));
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(input) != input.size())
            __builtin_trap();
    }
    engine::AliasRegistry registry(path);
    try {
        (void)registry.folderOf(QStringLiteral("HLR10"));
        (void)registry.folderOf(QStringLiteral("OTRO"));
    } catch (const engine::EngineError&) {
    }
    const QString folderName = QStringLiteral("/datos/ñandú, 100%");
    try {
        registry.setFolder(QStringLiteral("HLR10"), folderName);
    } catch (const engine::EngineError&) {
        if (contentsOf(path) != input)
            __builtin_trap(); // a refusal must leave the file as it was
        return 0;
    }
    if (registry.folderOf(QStringLiteral("HLR10")) != folderName)
        __builtin_trap();
    return 0;
}
