// Copies of the data folder and putting one back: a copy taken while another
// process saves is consistent, ten are kept, the pictures that are gone are
// listed; a restore is refused while the folder is open or the copy damaged,
// and an interruption at any point leaves the old folder or the restored one.
// The folder's check removes the records of pets that no longer exist.
#include "SqliteFile.h"
#include "support/TestPaths.h"

#include "data/schema/Backup.h"
#include "data/schema/Schema.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/FieldDef.h"
#include "engine/Table.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace {

using Contents = std::map<QString, std::vector<QVariantList>>;

// Every row of every table, by file, in stored order.
Contents contents(const QString& folder)
{
    Contents all;
    for (const engine::TableDef& def : schema::tables())
        all[def.fileName]
            = SqliteFile(QDir(folder).filePath(def.fileName))
                  .rows(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(def.tableName));
    return all;
}

void exec(const QString& file, const QString& sql)
{
    SqliteFile(file, true).rows(sql);
}

// The children: saving visits one by one, holding a table open, or restoring.
int childMain(const QStringList& args)
{
    try {
        if (args[1] == QLatin1String("--restore")) {
            schema::restoreCopy(args[2], args[3]);
            return 0;
        }
        engine::Database db(QStringLiteral("DbGeneral"), QStringLiteral("HLR10"));
        engine::Table visits(db, QStringLiteral("TablaSanidad"), QStringLiteral("SANIDAD.db"));
        visits.open();
        if (args[1] == QLatin1String("--hold")) {
            std::cout << "open" << std::endl;
            std::string line;
            std::getline(std::cin, line); // until the parent closes our input
            return 0;
        }
        const int count = args[2].toInt();
        std::cout << "saving" << std::endl;
        for (int i = 0; i < count; ++i) {
            visits.append();
            visits.field(QStringLiteral("CODIGO")).setAsString(QStringLiteral("0000001"));
            visits.field(QStringLiteral("DESCRIPCIO")).setAsString(QString::number(i));
            visits.post();
            // A pause between saves, far shorter than a person's, in which a
            // reader can take its turn; saves back to back can keep the copy
            // waiting until they stop, and it would show only the end.
            QThread::msleep(2);
        }
        return 0;
    } catch (const engine::EngineError& error) {
        std::cerr << qPrintable(error.message()) << std::endl;
        return 2;
    }
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT

    QString data() const { return m_dir->filePath(QStringLiteral("datos")); }
    QString copies() const { return m_dir->filePath(QStringLiteral("copias")); }

    // A child on the scratch folder's alias file, killed at `killAt` if given;
    // started at once unless `args` is empty.
    QProcess* startChild(const QStringList& args, int killAt = 0)
    {
        auto* child = new QProcess(this);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HLR_ALIASES"), m_dir->filePath(QStringLiteral("aliases.conf")));
        if (killAt > 0)
            environment.insert(QStringLiteral("HLR_TEST_BACKUP_KILL"), QString::number(killAt));
        child->setProcessEnvironment(environment);
        if (!args.isEmpty())
            child->start(QCoreApplication::applicationFilePath(), args);
        return child;
    }

private slots:
    void init()
    {
        m_dir.emplace();
        QVERIFY(QDir().mkpath(data()));
        for (const engine::TableDef& def : schema::tables())
            engine::createTableFile(data(), def);
        exec(QDir(data()).filePath(QStringLiteral("FICMAES.DB")),
            QStringLiteral("INSERT INTO FICMAES (CODIGO, NOM_FAMI) VALUES ('0000001', 'LUNA')"));
        QFile aliases(m_dir->filePath(QStringLiteral("aliases.conf")));
        QVERIFY(aliases.open(QIODevice::WriteOnly));
        aliases.write("[HLR10]\npath=" + QFile::encodeName(data()) + "\n");
    }

    void copyIsCheckedAndListsMissingPictures()
    {
        const QString kept = m_dir->filePath(QStringLiteral("luna.jpg"));
        QFile(kept).open(QIODevice::WriteOnly);
        const QString gone = m_dir->filePath(QStringLiteral("perdida.jpg"));
        exec(QDir(data()).filePath(QStringLiteral("ALBUM.DB")),
            QStringLiteral("INSERT INTO ALBUM (CODIGO, CARPETA) VALUES ('0000001', '%1'), ('0000001', '%2')")
                .arg(kept, gone));

        const schema::FolderCopy copy = schema::copyFolder(data(), copies());
        QVERIFY(schema::isCopyName(QFileInfo(copy.folder).fileName()));
        QCOMPARE(contents(copy.folder), contents(data()));
        QCOMPARE(copy.missingPictures, QStringList { gone });
        QFile list(QDir(copy.folder).filePath(QLatin1String(schema::kMissingPicturesFile)));
        QVERIFY(list.open(QIODevice::ReadOnly));
        QCOMPARE(list.readAll(), QFile::encodeName(gone) + "\n");
        // The pictures themselves stay where they are, uncopied.
        QCOMPARE(QDir(copy.folder).entryList(QDir::Files).size(), int(schema::tables().size()) + 1);
    }

    void lastTenKeptOthersLeftAlone()
    {
        QVERIFY(QDir().mkpath(QDir(copies()).filePath(QStringLiteral("mis fotos"))));
        QStringList made;
        for (int i = 0; i < 12; ++i)
            made << QFileInfo(
                schema::copyFolder(data(), copies(), QStringLiteral("antes-de-actualizar")).folder)
                        .fileName();
        QStringList left = QDir(copies()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        QVERIFY(left.removeOne(QStringLiteral("mis fotos")));
        QCOMPARE(left.size(), schema::kCopiesKept);
        // Made within a second or two, so told apart by their numbers, up to -12.
        QStringList newest = made.mid(2);
        std::sort(newest.begin(), newest.end());
        QVERIFY2(left == newest,
            qPrintable(made.join(QLatin1Char(' ')) + QStringLiteral(" / ") + left.join(QLatin1Char(' '))));
    }

    void missingTableMakesNoCopy()
    {
        QVERIFY(QFile::remove(QDir(data()).filePath(QStringLiteral("VACUNAS.db"))));
        QVERIFY_THROWS_EXCEPTION(engine::EngineError, schema::copyFolder(data(), copies()));
        QVERIFY(QDir(copies()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    }

    // Each copy taken while another process saves 1,000 visits holds every
    // table whole, as it stood between two saves.
    void copyWhileAnotherProcessSaves()
    {
        const int saves = 1000;
        QProcess* saver = startChild({ QStringLiteral("--save"), QString::number(saves) });
        QVERIFY(saver->waitForReadyRead(20000));
        // Read at once: beyond ten copies the oldest are removed.
        std::vector<Contents> taken;
        while (saver->state() != QProcess::NotRunning || taken.size() < 2) {
            const QString copy = schema::copyFolder(data(), copies()).folder;
            for (const engine::TableDef& def : schema::tables())
                engine::checkTableFile(QDir(copy).filePath(def.fileName));
            taken.push_back(contents(copy));
            saver->waitForFinished(20);
        }
        QCOMPARE(saver->exitCode(), 0);
        const Contents final = contents(data());
        const auto& visits = final.at(QStringLiteral("SANIDAD.db"));
        QCOMPARE(int(visits.size()), saves);
        std::set<size_t> counts;
        for (Contents& copied : taken) {
            const auto& some = copied.at(QStringLiteral("SANIDAD.db"));
            QVERIFY(some.size() <= visits.size());
            QVERIFY(std::equal(some.begin(), some.end(), visits.begin()));
            counts.insert(some.size());
            copied.erase(QStringLiteral("SANIDAD.db"));
            Contents rest = final;
            rest.erase(QStringLiteral("SANIDAD.db"));
            QCOMPARE(copied, rest);
        }
        QVERIFY(
            std::any_of(counts.begin(), counts.end(), [&](size_t n) { return n > 0 && n < visits.size(); }));
        qInfo("%zu copies while saving, %zu different moments", taken.size(), counts.size());
    }

    void restorePutsTheCopyBackAndKeepsTheOldFolder()
    {
        const Contents before = contents(data());
        const QString copy = schema::copyFolder(data(), copies()).folder;
        exec(QDir(data()).filePath(QStringLiteral("FICMAES.DB")), QStringLiteral("DELETE FROM FICMAES"));
        const Contents changed = contents(data());

        const QString aside = schema::restoreCopy(copy, data());
        QCOMPARE(contents(data()), before);
        QCOMPARE(contents(aside), changed);
        QCOMPARE(contents(copy), before); // the copy stays a copy
        QVERIFY(QFileInfo(aside).fileName().startsWith(QStringLiteral("datos.antes-de-restaurar-")));

        // A folder that is gone altogether is restored as well.
        QVERIFY(QDir(data()).removeRecursively());
        QVERIFY(schema::restoreCopy(copy, data()).isEmpty());
        QCOMPARE(contents(data()), before);
    }

    void restoreRefusedWhileOpenOrDamaged()
    {
        const QString copy = schema::copyFolder(data(), copies()).folder;
        const Contents before = contents(data());
        QProcess* holder = startChild({ QStringLiteral("--hold") });
        QVERIFY(holder->waitForReadyRead(20000));
        QCOMPARE(holder->readLine().trimmed(), QByteArray("open"));
        try {
            schema::restoreCopy(copy, data());
            QFAIL("restored while the folder was open");
        } catch (const schema::FolderInUse& error) {
            QVERIFY2(
                error.message().contains(QStringLiteral("Cierre Huellario")), qPrintable(error.message()));
        }
        holder->closeWriteChannel();
        QVERIFY(holder->waitForFinished(20000));

        // A copy with a damaged page is refused before anything moves.
        const QString damaged = QDir(copy).filePath(QStringLiteral("SANIDAD.db"));
        QFile file(damaged);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const qint64 size = file.size();
        file.seek(size - 100);
        file.write(QByteArray(100, '\xff'));
        file.seek(30);
        file.write(QByteArray(40, '\x7f'));
        file.close();
        QVERIFY_THROWS_EXCEPTION(engine::EngineError, schema::restoreCopy(copy, data()));
        QCOMPARE(contents(data()), before);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).size(), 2);
    }

    // The set-up tool's commands: what they say and their exit codes.
    void setupToolCopiesAndRestores()
    {
        const auto run = [this](const QStringList& args) {
            QProcess tool;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(
                QStringLiteral("HLR_ALIASES"), m_dir->filePath(QStringLiteral("aliases.conf")));
            tool.setProcessEnvironment(environment);
            tool.start(QStringLiteral(HLR_BIN_DIR "/huellario-setup"), args);
            tool.waitForFinished(60000);
            return std::make_pair(tool.exitCode(),
                QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError()));
        };
        const auto [copied, said] = run({ QStringLiteral("--copia"), copies() });
        QCOMPARE(copied, 0);
        QVERIFY2(said.contains(QStringLiteral("las nueve tablas están comprobadas")), qPrintable(said));
        const QString copy
            = QDir(copies()).filePath(QDir(copies()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0));

        QProcess* holder = startChild({ QStringLiteral("--hold") });
        QVERIFY(holder->waitForReadyRead(20000));
        const auto [refused, why] = run({ QStringLiteral("--restaurar"), copy });
        QCOMPARE(refused, 1);
        QVERIFY2(why.contains(QStringLiteral("Cierre Huellario")), qPrintable(why));
        holder->closeWriteChannel();
        QVERIFY(holder->waitForFinished(20000));

        const auto [restored, told] = run({ QStringLiteral("--restaurar"), copy });
        QCOMPARE(restored, 0);
        QVERIFY2(told.contains(QStringLiteral("La carpeta anterior se conserva")), qPrintable(told));
        const auto [checked, found] = run({ QStringLiteral("--comprobar") });
        QCOMPARE(checked, 0);
        QVERIFY2(found.contains(QStringLiteral("Ningún registro es de una mascota que ya no existe")),
            qPrintable(found));
        const auto [missing, answer]
            = run({ QStringLiteral("--restaurar"), m_dir->filePath(QStringLiteral("nada")) });
        QCOMPARE(missing, 3);
        QVERIFY2(answer.contains(QStringLiteral("No existe la copia")), qPrintable(answer));
    }

    void checkRemovesOnlyRecordsOfPetsThatAreGone()
    {
        // LUNA (0000001) exists; 0000009 was deleted; a record without a code stays.
        const QDir dir(data());
        exec(dir.filePath(QStringLiteral("SANIDAD.db")),
            QStringLiteral("INSERT INTO SANIDAD (CODIGO, DESCRIPCIO) VALUES ('0000001', 'VACUNA'), "
                           "('0000009', 'ÚLCERA'), ('0000009', 'REVISIÓN'), (NULL, 'SIN MASCOTA')"));
        exec(dir.filePath(QStringLiteral("VACUNAS.db")),
            QStringLiteral("INSERT INTO VACUNAS (CODIGO) VALUES ('0000001'), ('0000009')"));
        const QString picture = m_dir->filePath(QStringLiteral("toby.jpg"));
        QVERIFY(QFile(picture).open(QIODevice::WriteOnly));
        exec(dir.filePath(QStringLiteral("ALBUM.DB")),
            QStringLiteral("INSERT INTO ALBUM (CODIGO, CARPETA) VALUES ('0000009', '%1')").arg(picture));

        const schema::FolderCheck check = schema::checkFolder(data());
        const std::vector<std::pair<QString, int>> removed { { QStringLiteral("SANIDAD.db"), 2 },
            { QStringLiteral("VACUNAS.db"), 1 }, { QStringLiteral("ALBUM.DB"), 1 } };
        QCOMPARE(check.removed, removed);
        const Contents now = contents(data());
        QCOMPARE(int(now.at(QStringLiteral("SANIDAD.db")).size()), 2);
        QCOMPARE(int(now.at(QStringLiteral("VACUNAS.db")).size()), 1);
        QVERIFY(now.at(QStringLiteral("ALBUM.DB")).empty());
        QVERIFY(QFileInfo::exists(picture)); // the user's picture stays
        for (const engine::TableDef& def : schema::tables())
            engine::checkTableFile(dir.filePath(def.fileName));
        // A second run finds nothing more.
        QVERIFY(schema::checkFolder(data()).removed.empty());

        // Refused while the folder is open, and on a damaged table, changing nothing.
        exec(dir.filePath(QStringLiteral("VACUNAS.db")),
            QStringLiteral("INSERT INTO VACUNAS (CODIGO) VALUES ('0000008')"));
        const Contents before = contents(data());
        QProcess* holder = startChild({ QStringLiteral("--hold") });
        QVERIFY(holder->waitForReadyRead(20000));
        QVERIFY_THROWS_EXCEPTION(schema::FolderInUse, schema::checkFolder(data()));
        holder->closeWriteChannel();
        QVERIFY(holder->waitForFinished(20000));
        QFile damaged(dir.filePath(QStringLiteral("ESPECIES.db")));
        QVERIFY(damaged.open(QIODevice::ReadWrite));
        QVERIFY(damaged.size() > 4096 + 200);
        damaged.seek(4096); // the second page's header: the table's b-tree
        damaged.write(QByteArray(200, '\xee'));
        damaged.close();
        try {
            schema::checkFolder(data());
            QFAIL("a damaged table passed");
        } catch (const engine::EngineError& error) {
            QVERIFY2(error.message().contains(QStringLiteral("ESPECIES.db")), qPrintable(error.message()));
        }
        QCOMPARE(SqliteFile(dir.filePath(QStringLiteral("VACUNAS.db")))
                     .rows(QStringLiteral("SELECT * FROM VACUNAS ORDER BY rowid")),
            before.at(QStringLiteral("VACUNAS.db")));
    }

    // Killed at every point of a restore, then settled as the program and
    // the setup tool do first: the old folder or the restored one, whole.
    void restoreInterruptedAnywhere()
    {
        const Contents restored = contents(data());
        const QString copy = schema::copyFolder(data(), copies()).folder;
        exec(QDir(data()).filePath(QStringLiteral("FICMAES.DB")),
            QStringLiteral("UPDATE FICMAES SET NOM_FAMI = 'TOBY'"));
        const Contents old = contents(data());
        int asWas = 0;
        int done = 0;
        for (int point = 1;; ++point) {
            QProcess* child = startChild({}, point);
            child->start(
                QCoreApplication::applicationFilePath(), { QStringLiteral("--restore"), copy, data() });
            QVERIFY(child->waitForFinished(60000));
            const bool killed = child->exitStatus() == QProcess::CrashExit;
            if (!killed)
                QCOMPARE(child->exitCode(), 0);
            schema::settleRestore(data());
            const Contents now = contents(data());
            QVERIFY2(now == old || now == restored, qPrintable(QStringLiteral("kill point %1").arg(point)));
            (now == old ? asWas : done)++;
            const QStringList hidden = QDir(m_dir->path())
                                           .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                                           .filter(QRegularExpression(QStringLiteral("^\\.")));
            QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join(QLatin1Char(' '))));
            // Back to the old folder for the next point; the ones set aside go.
            for (const QString& name : QDir(m_dir->path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                if (name.startsWith(QStringLiteral("datos.antes-de-restaurar-"))) {
                    if (now == restored) {
                        QVERIFY(QDir(data()).removeRecursively());
                        QVERIFY(QDir().rename(m_dir->filePath(name), data()));
                    } else {
                        QVERIFY(QDir(m_dir->filePath(name)).removeRecursively());
                    }
                }
            QCOMPARE(contents(data()), old);
            if (!killed)
                break;
        }
        qInfo(
            "%d kill points: %d left the old folder, %d the restored one", asWas + done - 1, asWas, done - 1);
        QVERIFY(asWas >= 2 && done >= 2);
    }

private:
    std::optional<QTemporaryDir> m_dir;
};

int main(int argc, char** argv)
{
    if (argc >= 2 && QByteArray(argv[1]).startsWith("--")) {
        QCoreApplication app(argc, argv);
        return childMain(QCoreApplication::arguments());
    }
    QApplication app(argc, argv);
    TestBackup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_backup.moc"
