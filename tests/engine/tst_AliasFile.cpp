// Writing the alias file when the disk or the file itself fails: the old
// file stays as it was, byte for byte, and the error says why.
#include "engine/AliasRegistry.h"
#include "engine/EngineError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using engine::AliasRegistry;

namespace {

const QByteArray kBefore = "# a mano\n[OTRO]\npath=/otro\n\n[HLR10]\npath=/viejo\n";

QByteArray contentsOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

template <typename F> QString errorOf(F&& f)
{
    try {
        f();
    } catch (const engine::EngineError& e) {
        return e.message();
    }
    return {};
}

// While it lives, this process may not make a regular file longer than
// `bytes`: the kernel refuses the write as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

class TestAliasFile : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString file() const { return m_tmp->filePath(QStringLiteral("config/aliases.conf")); }
    QStringList entries() const
    {
        return QDir(m_tmp->filePath(QStringLiteral("config")))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        QVERIFY(QDir().mkpath(m_tmp->filePath(QStringLiteral("config"))));
        write(file(), kBefore);
    }

    // The new contents cannot be written whole (the write stops part way):
    // the old file is kept and no temporary file stays beside it.
    void aFailedWriteKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("limit");
        QTest::newRow("nothing written") << 0;
        QTest::newRow("cut after some bytes") << 20;
        QTest::newRow("one byte short") << int(kBefore.size()) + 2;
    }

    void aFailedWriteKeepsTheOldFile()
    {
        QFETCH(int, limit);
        QString error;
        {
            const FileSizeLimit full { rlim_t(limit) };
            error = errorOf([&] {
                AliasRegistry(file()).setFolder(QStringLiteral("HLR10"), QStringLiteral("/nuevo/sitio"));
            });
        }
        QVERIFY2(
            error.contains(file()) && error.contains(QStringLiteral("supera el tamaño")), qPrintable(error));
        QCOMPARE(contentsOf(file()), kBefore);
        QCOMPARE(entries(), QStringList { QStringLiteral("aliases.conf") });
        QCOMPARE(AliasRegistry(file()).folderOf(QStringLiteral("HLR10")),
            std::optional<QString>(QStringLiteral("/viejo")));

        // With room again the same call goes through.
        AliasRegistry(file()).setFolder(QStringLiteral("HLR10"), QStringLiteral("/nuevo/sitio"));
        QCOMPARE(AliasRegistry(file()).folderOf(QStringLiteral("HLR10")),
            std::optional<QString>(QStringLiteral("/nuevo/sitio")));
        QCOMPARE(entries(), QStringList { QStringLiteral("aliases.conf") });
    }

    // A file that is there but cannot be read is not taken for an empty one,
    // which a rewrite would replace with the alias alone.
    void anUnreadableFileIsAnError_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a folder in its place") << "folder";
        QTest::newRow("larger than any alias file") << "large";
    }

    void anUnreadableFileIsAnError()
    {
        QFETCH(QString, kind);
        QByteArray before;
        if (kind == QLatin1String("folder")) {
            QVERIFY(QFile::remove(file()));
            QVERIFY(QDir().mkpath(file()));
        } else {
            before = kBefore + QByteArray(2 << 20, '#');
            write(file(), before);
        }
        const QString read = errorOf([&] { AliasRegistry(file()).folderOf(QStringLiteral("HLR10")); });
        QVERIFY2(read.contains(file()), qPrintable(read));
        const QString written = errorOf(
            [&] { AliasRegistry(file()).setFolder(QStringLiteral("HLR10"), QStringLiteral("/nuevo")); });
        QVERIFY2(written.contains(file()), qPrintable(written));
        if (kind == QLatin1String("folder"))
            QVERIFY(QFileInfo(file()).isDir());
        else
            QCOMPARE(contentsOf(file()), before);
    }

    void theNewFileKeepsTheOldPermissions()
    {
        QVERIFY(QFile::setPermissions(file(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        AliasRegistry(file()).setFolder(QStringLiteral("HLR10"), QStringLiteral("/nuevo"));
        struct stat st { };
        QCOMPARE(::stat(QFile::encodeName(file()).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0600));
    }

    // A temporary file that a killed run left beside the alias file goes
    // once it is a minute old; a fresh one may be another run's at work.
    void staleTemporaryFilesAreRemoved()
    {
        const QString stale = m_tmp->filePath(QStringLiteral("config/.aliases.conf.0123abcd"));
        const QString fresh = m_tmp->filePath(QStringLiteral("config/.aliases.conf.89abcdef"));
        const QString other = m_tmp->filePath(QStringLiteral("config/.aliases.conf.mine"));
        for (const QString& path : { stale, fresh, other })
            write(path, "[HLR10]\npath=/a medias");
        for (const QString& path : { stale, other }) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(
                f.setFileTime(QDateTime::currentDateTime().addSecs(-120), QFileDevice::FileModificationTime));
        }
        AliasRegistry(file()).setFolder(QStringLiteral("HLR10"), QStringLiteral("/nuevo"));
        QCOMPARE(entries(),
            (QStringList { QStringLiteral(".aliases.conf.89abcdef"), QStringLiteral(".aliases.conf.mine"),
                QStringLiteral("aliases.conf") }));
    }

    void contentsAndRestore()
    {
        AliasRegistry registry(file());
        const std::optional<QByteArray> before = registry.contents();
        QCOMPARE(before, std::optional<QByteArray>(kBefore));
        registry.setFolder(QStringLiteral("HLR10"), QStringLiteral("/nuevo"));
        registry.restore(before);
        QCOMPARE(contentsOf(file()), kBefore);
        registry.restore(std::nullopt);
        QVERIFY(!QFileInfo::exists(file()));
        QCOMPARE(registry.contents(), std::nullopt);
    }
};

QTEST_MAIN(TestAliasFile)
#include "tst_AliasFile.moc"
