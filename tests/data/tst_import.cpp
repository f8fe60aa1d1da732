// huellario-setup --importar, run as a process on Paradox tables written by
// pxlib: every field of the nine tables read back with the sqlite3 client,
// the memo blocks, and the refusals that leave nothing behind.
#include "ImportTesting.h"

#include "data/schema/Schema.h"
#include "engine/Database.h"
#include "engine/Table.h"

#include <QtTest>

#include <unistd.h>

using namespace importtesting;

class TestImport : public QObject, public ImportFixture {
    Q_OBJECT

private slots:
    void init() { makeScratch(); }

    void importsEveryFieldOfEveryTable()
    {
        writeSource();
        const Run r = import();
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        QVERIFY2(r.out.contains(QRegularExpression(QStringLiteral("FICMAES.DB +4 registros\\n"))),
            qPrintable(r.out));
        QVERIFY2(r.out.contains(QRegularExpression(QStringLiteral("INIAVIS.DB +2 registros\\n"))),
            qPrintable(r.out));
        QVERIFY2(r.out.contains(QStringLiteral("Total: 20 registros en 9 tablas.")), qPrintable(r.out));
        QCOMPARE(registeredFolder(), target());

        for (const engine::TableDef& def : schema::tables()) {
            const QString file = QDir(target()).filePath(def.fileName);
            QCOMPARE(engine::readTableDef(file), def);
            const QJsonArray rows
                = query(file, QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(def.tableName));
            QVERIFY(rows.size() >= 2);
            const Record stored = everyField(def);
            // Rows come in counter order where there is one: 7 (fourth
            // record of FICMAES), 40 (the full record), then the blanks.
            const QJsonObject full = rows[def.tableName == QLatin1String("FICMAES") ? 1 : 0].toObject();
            const QJsonObject blank = rows[def.tableName == QLatin1String("FICMAES") ? 2 : 1].toObject();
            for (const engine::FieldDef& f : def.fields) {
                const QByteArray where = (def.fileName + QLatin1Char('.') + f.name).toUtf8();
                QVERIFY2(full.value(f.name) == expected(f, stored.value(f.name)), where.constData());
                if (f.kind == engine::FieldKind::Counter)
                    QVERIFY2(blank.value(f.name) == 41, where.constData()); // after every stored counter
                else
                    QVERIFY2(blank.value(f.name).isNull(), where.constData());
            }
        }

        // The awkward ones written out: the Windows code page's euro and
        // dashes, a blank date, a time's milliseconds, a full text field.
        const QString pets = QDir(target()).filePath(QStringLiteral("FICMAES.DB"));
        const QJsonObject pet
            = query(pets, QStringLiteral("SELECT * FROM FICMAES WHERE CONTADOR = 40"))[0].toObject();
        QCOMPARE(pet.value(QStringLiteral("CODIGO")).toString(), QStringLiteral("CODIGO "));
        QCOMPARE(pet.value(QStringLiteral("FEC_NAC")).toString(), QStringLiteral("2000-05-27"));
        QCOMPARE(pet.value(QStringLiteral("NOM_FAMI")).toString(), QStringLiteral("NOM_FAMI ñÁ€—’ü"));
        QCOMPARE(pet.value(QStringLiteral("MEMORIA")).toString(), kMemo);
        const QJsonObject due = query(QDir(target()).filePath(QStringLiteral("INIAVIS.DB")),
            QStringLiteral("SELECT HORA_INI, HORA_FIN FROM INIAVIS WHERE CONTADOR = 40"))[0]
                                    .toObject();
        QCOMPARE(due.value(QStringLiteral("HORA_INI")).toString(), QStringLiteral("10:20:35"));

        // Only the nine files: no staging folder is left behind.
        QCOMPARE(QDir(target()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 9);
    }

    void memosComeWholeWhereverTheyAreStored()
    {
        writeSource();
        QCOMPARE(import().exitCode, 0);
        const QString pets = QDir(target()).filePath(QStringLiteral("FICMAES.DB"));
        const QJsonArray rows = query(pets, QStringLiteral("SELECT CODIGO, MEMORIA FROM FICMAES"));
        QCOMPARE(rows.size(), 4);
        QMap<QString, QString> memos;
        for (const auto& row : rows)
            memos[row[QStringLiteral("CODIGO")].toString()] = row[QStringLiteral("MEMORIA")].toString();
        QCOMPARE(memos.value(QStringLiteral("CODIGO ")), kMemo); // a shared memo block
        QCOMPARE(memos.value(QStringLiteral("0000003")),
            QString(QStringLiteral("Línea ñ\r\n")).repeated(600)); // its own block
        QCOMPARE(memos.value(QStringLiteral("0000004")), QStringLiteral("Corto €")); // within the record
        QVERIFY(memos.value(QString()).isNull());
        // CR LF stays as stored, the letters in UTF-8.
        const QJsonArray raw = query(pets,
            QStringLiteral("SELECT hex(substr(MEMORIA, 1, 9)) AS RAW FROM FICMAES WHERE CODIGO = '0000003'"));
        QCOMPARE(raw[0][QStringLiteral("RAW")].toString(), QStringLiteral("4CC3AD6E656120C3B10D0A"));
    }

    // The program's own engine opens the imported tables through the alias,
    // in index order, with their kinds checked.
    void theProgramReadsTheImportedTables()
    {
        writeSource();
        QCOMPARE(import().exitCode, 0);
        qputenv("HLR_ALIASES", QFile::encodeName(aliasFile()));
        engine::Database db(QStringLiteral("DbGeneral"), QStringLiteral("HLR10"));
        db.open();
        for (const engine::TableDef& def : schema::tables()) {
            engine::Table table(db, def.tableName, def.fileName);
            for (const engine::FieldDef& f : schema::declaredFields(def))
                table.addField(f);
            table.open();
            QCOMPARE(table.recordCount(), def.tableName == QLatin1String("FICMAES") ? 4 : 2);
            table.close();
        }
        engine::Table pets(db, QStringLiteral("TablaMascotas"), QStringLiteral("FICMAES.DB"));
        pets.setIndexFieldNames(QStringLiteral("CODIGO"));
        pets.open();
        pets.first();
        pets.next(); // the blank CODIGO comes first
        QCOMPARE(pets.field(QStringLiteral("CODIGO")).asString(), QStringLiteral("0000003"));
        QVERIFY(pets.field(QStringLiteral("FEC_NAC")).isNull());
        QCOMPARE(pets.field(QStringLiteral("MEMORIA")).value().toString(),
            QString(QStringLiteral("Línea ñ\r\n")).repeated(600));
    }

    void refusesToWriteOverATable()
    {
        writeSource();
        QVERIFY(QDir().mkpath(target()));
        QFile existing(QDir(target()).filePath(QStringLiteral("AVISOS.DB")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("datos del usuario");
        existing.close();

        const Run r = import();
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(QStringLiteral("ya existe AVISOS.DB")), qPrintable(r.err));
        QCOMPARE(QDir(target()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("AVISOS.DB") });
        QVERIFY(existing.open(QIODevice::ReadOnly));
        QCOMPARE(existing.readAll(), QByteArray("datos del usuario"));
        QVERIFY(!QFileInfo::exists(aliasFile()));
    }

    void refusesAMissingDamagedOrForeignSource_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");

        QTest::newRow("table missing") << "missing"
                                       << "Falta la tabla VETERIN.DB en «";
        QTest::newRow("table cut short") << "short"
                                         << "/SANIDAD.db» está incompleto";
        QTest::newRow("not a Paradox file") << "garbage"
                                            << "/RAZAS.DB» no es una tabla Paradox válida";
        // pxlib would spend minutes over a damaged file that claims a password.
        QTest::newRow("password")
            << "password"
            << "/ESPECIES.db» no es una tabla Paradox válida o está dañada: está protegida con contraseña";
        // pxlib would read one record and only warn about the other.
        QTest::newRow("header counts fewer records")
            << "count"
            << "/RAZAS.DB» no es una tabla Paradox válida o está dañada: la cabecera indica 1 registros y "
               "los bloques de datos tienen 2";
        QTest::newRow("empty file") << "empty"
                                    << "/AVISOS.DB» no es una tabla Paradox válida";
        QTest::newRow("other fields")
            << "foreign"
            << "/ALBUM.DB» no es la tabla ALBUM de la versión anterior: le falta el campo CONTADOR";
        QTest::newRow("date field of text") << "kind"
                                            << "/VACUNAS.db» no es la tabla VACUNAS de la versión anterior: "
                                               "el campo FECHA_1 no es de tipo fecha";
        QTest::newRow("a field we do not know") << "extra"
                                                << "tiene el campo NOTAS, que Huellario no conoce";
        QTest::newRow("text longer than ours") << "long"
                                               << "/FICMAES.DB», registro 2, campo NOM_FAMI: el texto «"
                + QString(QLatin1Char('x')).repeated(55) + "» tiene 55 caracteres y Huellario admite 50";
        QTest::newRow("memo file missing") << "nomemo"
                                           << "Falta el archivo de notas de «";
        QTest::newRow("memo file cut short") << "cutmemo"
                                             << "/FICMAES.MB» está dañado: la nota del registro 3";
        QTest::newRow("counter repeated")
            << "twice"
            << "/RAZAS.DB» está dañado: los registros 1 y 2 tienen el mismo CONTADOR (3)";
        QTest::newRow("names differing in case") << "case"
                                                 << "ficmaes.db";
        // pxlib would read thousands of field names a byte at a time and
        // print one of them made of whatever bytes followed.
        QTest::newRow("field count far too large")
            << "fields4095"
            << "/RAZAS.DB» no es una tabla Paradox válida o está dañada: la cabecera no es válida.";
        QTest::newRow("field count too large")
            << "fields40"
            << "/RAZAS.DB» no es una tabla Paradox válida o está dañada: el nombre del campo 1 no es válido";
        QTest::newRow("logical byte Paradox never writes")
            << "logical"
            << "/VACUNAS.db» está dañado: en el registro 1, el campo MOQUILLO_TRIVALENTE tiene el valor "
               "lógico 0x7F, que no es ni verdadero ni falso";
        QTest::newRow("code page nobody knows")
            << "codepage"
            << "/ESPECIES.db» está escrita en la página de códigos 9999, que este sistema no sabe convertir";
        QTest::newRow("memo longer than its blocks") << "hugememo"
                                                     << "/FICMAES.MB» está dañado: la nota del registro 3 "
                                                        "(campo MEMORIA) no está donde indica la tabla";
    }

    void refusesAMissingDamagedOrForeignSource()
    {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        writeSource();
        const auto at = [&](const char* name) { return QDir(source()).filePath(QLatin1String(name)); };
        const auto cut = [&](const char* name, qint64 by) {
            QFile f(at(name));
            QVERIFY(f.resize(f.size() - by));
        };
        // Writes one table again with its fields changed by `change`.
        const auto rewrite = [&](const char* table, const auto& change, const std::vector<Record>& records) {
            const QString fileName = paradoxfixture::earlierFileName(QLatin1String(table));
            std::vector<paradoxfixture::Field> fields = paradoxfixture::earlierFields(QLatin1String(table));
            change(fields);
            QVERIFY(QFile::remove(QDir(source()).filePath(fileName)));
            QFile::remove(QDir(source()).filePath(QLatin1String(table) + QStringLiteral(".MB")));
            paradoxfixture::writeTable(source(), fileName, fields, records);
        };
        if (damage == QLatin1String("missing")) {
            QVERIFY(QFile::remove(at("VETERIN.DB")));
        } else if (damage == QLatin1String("short")) {
            cut("SANIDAD.db", 100);
        } else if (damage == QLatin1String("garbage") || damage == QLatin1String("empty")) {
            QFile f(at(damage == QLatin1String("garbage") ? "RAZAS.DB" : "AVISOS.DB"));
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            if (damage == QLatin1String("garbage"))
                f.write(QByteArray("Esto no es una tabla, sino una nota de texto.\n").repeated(200));
        } else if (damage == QLatin1String("password")) {
            QFile f(at("ESPECIES.db"));
            QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(0x5C) && f.putChar('\x01'));
        } else if (damage == QLatin1String("count")) {
            QFile f(at("RAZAS.DB"));
            QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(0x06) && f.putChar('\x01'));
        } else if (damage == QLatin1String("foreign")) {
            rewrite("ALBUM",
                [](auto& fields) {
                    fields = { { QStringLiteral("NOMBRE"), pxfAlpha, 20 } };
                },
                { Record { { QStringLiteral("NOMBRE"), QStringLiteral("x") } } });
        } else if (damage == QLatin1String("kind")) {
            rewrite("VACUNAS",
                [](auto& fields) {
                    fields[7] = { QStringLiteral("FECHA_1"), pxfAlpha, 10 };
                },
                { Record() });
        } else if (damage == QLatin1String("extra")) {
            rewrite("AVISOS",
                [](auto& fields) {
                    fields.push_back({ QStringLiteral("NOTAS"), pxfAlpha, 30 });
                },
                { Record() });
        } else if (damage == QLatin1String("long")) {
            // The earlier table's field is wider than ours; the second record fills it past our size.
            rewrite("FICMAES",
                [](auto& fields) {
                    for (auto& f : fields)
                        if (f.name == QLatin1String("NOM_FAMI"))
                            f.length = 60;
                },
                { Record(),
                    Record { { QStringLiteral("NOM_FAMI"), QString(QLatin1Char('x')).repeated(55) } } });
        } else if (damage == QLatin1String("nomemo")) {
            QVERIFY(QFile::remove(at("FICMAES.MB")));
        } else if (damage == QLatin1String("cutmemo")) {
            cut("FICMAES.MB", 1000); // inside the memo that has a block of its own
        } else if (damage == QLatin1String("twice")) {
            rewrite("RAZAS", [](auto&) {},
                { Record { { QStringLiteral("CONTADOR"), 3 } },
                    Record { { QStringLiteral("CONTADOR"), 3 } } });
        } else if (damage == QLatin1String("case")) {
            QVERIFY(QFile::copy(at("FICMAES.DB"), at("ficmaes.db")));
        } else if (damage.startsWith(QLatin1String("fields"))) {
            const int count = damage.mid(6).toInt();
            QFile f(at("RAZAS.DB"));
            QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(0x21) && f.putChar(char(count & 0xFF))
                && f.putChar(char(count >> 8)));
        } else if (damage == QLatin1String("logical")) {
            // The first record's first logical field, after CODIGO's 7 bytes.
            patch(at("VACUNAS.db"), headerSizeOf(at("VACUNAS.db")) + 6 + 7, "\x7F");
        } else if (damage == QLatin1String("codepage")) {
            patch(at("ESPECIES.db"), 0x6A, QByteArray("\x0F\x27", 2));
        } else if (damage == QLatin1String("hugememo")) {
            makeHugeMemo();
        }
        // An earlier alias must survive the refusal untouched.
        QSettings(aliasFile(), QSettings::IniFormat)
            .setValue(QStringLiteral("HLR10/path"), path(QStringLiteral("antes")));

        const Run r = import();
        QCOMPARE(r.exitCode, 3);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("No se ha cambiado nada.")), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        QVERIFY(!QFileInfo::exists(target()));
        QCOMPARE(registeredFolder(), path(QStringLiteral("antes")));
    }

    // A header size other than the file's: pxlib would read the records
    // from the wrong place, and the vaccination card would come as blank.
    void refusesAWrongHeaderSize()
    {
        writeSource();
        // One record, as a card of one pet: a block head read from inside
        // the header (zeros) then passes for a block of one record.
        const QString file = QDir(source()).filePath(QStringLiteral("VACUNAS.db"));
        QVERIFY(QFile::remove(file));
        paradoxfixture::writeTable(
            source(), QStringLiteral("VACUNAS"), { everyField(schema::table(QStringLiteral("VACUNAS"))) });
        const QByteArray original = contentsOf(file);
        for (int size = 0x100; size <= 0x780; size += 0x80) {
            patch(file, 2, QByteArray(1, char(size & 0xFF)) + char(size >> 8));
            const Run r = import();
            QVERIFY2(r.exitCode == 3
                    && r.err.contains(QStringLiteral("/VACUNAS.db» no es una tabla Paradox válida")),
                qPrintable(QStringLiteral("0x%1: %2").arg(size, 0, 16).arg(r.err)));
            QVERIFY(!QFileInfo::exists(target()));
        }
        patch(file, 0, original);
        QCOMPARE(import().exitCode, 0);
    }

    // Texts in the code page the header names: DOS ones through iconv, the
    // Windows one by our own table.
    void importsTheCodePageTheHeaderNames_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::newRow("437") << 437;
        QTest::newRow("850") << 850;
        QTest::newRow("1252") << 1252;
    }

    void importsTheCodePageTheHeaderNames()
    {
        QFETCH(int, codePage);
        writeSource();
        QVERIFY(QFile::remove(QDir(source()).filePath(QStringLiteral("FICMAES.DB"))));
        QVERIFY(QFile::remove(QDir(source()).filePath(QStringLiteral("FICMAES.MB"))));
        const QString memo = QStringLiteral("Señas: pata blanca, ñandú de peluche.\r\n").repeated(3);
        paradoxfixture::writeTable(source(), QStringLiteral("FICMAES"),
            { Record { { QStringLiteral("CODIGO"), QStringLiteral("0000001") },
                { QStringLiteral("NOM_FAMI"), QStringLiteral("MUÑECA") },
                { QStringLiteral("PROPIETARI"), QStringLiteral("José Ibáñez Muñoz") },
                { QStringLiteral("MEMORIA"), memo } } },
            codePage);
        const Run r = import();
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        const QJsonObject pet = query(QDir(target()).filePath(QStringLiteral("FICMAES.DB")),
            QStringLiteral("SELECT NOM_FAMI, PROPIETARI, MEMORIA FROM FICMAES"))[0]
                                    .toObject();
        QCOMPARE(pet.value(QStringLiteral("NOM_FAMI")).toString(), QStringLiteral("MUÑECA"));
        QCOMPARE(pet.value(QStringLiteral("PROPIETARI")).toString(), QStringLiteral("José Ibáñez Muñoz"));
        QCOMPARE(pet.value(QStringLiteral("MEMORIA")).toString(), memo);
    }

    // On a small file system of its own (a user namespace's tmpfs, where the
    // system allows one), filled to the last block: the alias file there
    // cannot be rewritten, or the target there cannot take its tables. The
    // run fails with exit code 3, the alias file keeps its bytes, and
    // nothing the run made stays, the target's new parents included.
    void aFullDiskChangesNothing_data()
    {
        QTest::addColumn<QStringList>("args"); // FULL stands for the full file system
        QTest::addColumn<QString>("aliasFile");
        QTest::newRow("import, alias file on the full disk") << QStringList { "--importar", "SOURCE", "--dir",
            "TARGET", "--aliases", "FULL/al.conf" } << "FULL/al.conf";
        // The alias file's folder does not exist yet: it must not stay either.
        QTest::newRow("import, target on the full disk")
            << QStringList { "--importar", "SOURCE", "--dir", "FULL/a/data", "--aliases", "NEW/conf/al.conf" }
            << "NEW/conf/al.conf";
        QTest::newRow("install, target on the full disk")
            << QStringList { "--dir", "FULL/a/data", "--aliases", "NEW/conf/al.conf" } << "NEW/conf/al.conf";
    }

    void aFullDiskChangesNothing()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, aliasFile);
        writeSource();
        const QString full = path(QStringLiteral("lleno"));
        QVERIFY(QDir().mkpath(full));
        for (QString& arg : args)
            arg.replace(QLatin1String("SOURCE"), source())
                .replace(QLatin1String("TARGET"), target())
                .replace(QLatin1String("FULL"), full)
                .replace(QLatin1String("NEW"), path(QStringLiteral("nueva")));
        // Runs inside the namespace, where the tmpfs is seen, and reports.
        const QString script
            = QStringLiteral("mount -t tmpfs -o size=64k tmpfs \"$1\" || exit 99\n"
                             "printf '[OTRO]\\npath=/otro\\n\\n[HLR10]\\npath=/viejo\\n' > \"$1/al.conf\"\n"
                             "cp \"$1/al.conf\" \"$2\"\n"
                             "dd if=/dev/zero of=\"$1/relleno\" bs=1k count=1000 2>/dev/null\n"
                             "shift 2\n"
                             "\"$@\"\n"
                             "echo \"salida=$?\"\n"
                             "cmp -s \"$FULL/al.conf\" \"$BEFORE\" && echo alias-igual\n"
                             "echo \"contenido=$(ls -A \"$FULL\" | tr '\\n' ' ')\"\n");
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("xdg-data")));
        env.insert(QStringLiteral("FULL"), full);
        env.insert(QStringLiteral("BEFORE"), path(QStringLiteral("antes.conf")));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("unshare"),
            QStringList { QStringLiteral("--user"), QStringLiteral("--map-root-user"),
                QStringLiteral("--mount"), QStringLiteral("sh"), QStringLiteral("-c"), script,
                QStringLiteral("sh"), full, path(QStringLiteral("antes.conf")),
                QStringLiteral(HLR_BIN_DIR "/huellario-setup") }
                + args);
        if (!p.waitForStarted() || !p.waitForFinished(60000) || p.exitCode() == 99)
            QSKIP("no small file system can be made here (user namespaces or unshare are missing)");
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(out.contains(QStringLiteral("salida=3")), qPrintable(out + err));
        QVERIFY2(err.contains(QStringLiteral("No se ha cambiado nada")), qPrintable(err));
        QVERIFY2(out.contains(QStringLiteral("alias-igual")), qPrintable(out + err));
        QVERIFY2(out.contains(QStringLiteral("contenido=al.conf relleno \n")), qPrintable(out));
        if (aliasFile.startsWith(QLatin1String("NEW")))
            QVERIFY(!QFileInfo::exists(path(QStringLiteral("nueva"))));
        QVERIFY(!QFileInfo::exists(target()));
        QVERIFY(!out.contains(QStringLiteral("registrado")));
    }

    // A source that is a file, or a folder that cannot be listed, is named
    // for what it is, not taken for a missing folder or missing tables.
    void theSourceFolderIsNamedForWhatIsWrong()
    {
        writeSource();
        const QString file = QDir(source()).filePath(QStringLiteral("FICMAES.DB"));
        const Run whole = import(QString(), target());
        QCOMPARE(whole.exitCode, 0); // the fixture itself imports
        QDir(target()).removeRecursively();
        QFile::remove(aliasFile());

        const Run aFile = run({ QStringLiteral("--importar"), file, QStringLiteral("--dir"), target() });
        QCOMPARE(aFile.exitCode, 3);
        QVERIFY2(
            aFile.err.contains(QStringLiteral("«%1» no es una carpeta").arg(file)), qPrintable(aFile.err));

        // Root reads any folder: the run is then made as nobody.
        QVERIFY(QFile::setPermissions(
            source(), QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther));
        QVERIFY(QFile::setPermissions(m_tmp->path(),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                | QFileDevice::ExeOther));
        QProcess p;
        if (::geteuid() == 0)
            p.setChildProcessModifier([] {
                if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                    ::_exit(98);
            });
        start(p, { QStringLiteral("--importar"), source(), QStringLiteral("--dir"), target() });
        const Run unlisted = finished(p);
        QFile::setPermissions(
            source(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (unlisted.exitCode == 98)
            QSKIP("cannot run as another user here");
        QCOMPARE(unlisted.exitCode, 3);
        QVERIFY2(unlisted.err.contains(
                     QStringLiteral("No se puede leer la carpeta «%1»: no hay permiso").arg(source())),
            qPrintable(unlisted.err));
        QVERIFY(!unlisted.err.contains(QStringLiteral("Falta la tabla")));
    }

    void optionsOfTheImport()
    {
        const Run help = run({ QStringLiteral("--help") });
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.contains(
            QStringLiteral("huellario-setup --importar CARPETA [--dir CARPETA] [--aliases ARCHIVO]")));
        QCOMPARE(run({ QStringLiteral("--importar") }).exitCode, 2);
        QCOMPARE(run({ QStringLiteral("--importar"), source(), QStringLiteral("--if-missing") }).exitCode, 2);
        const Run none = run({ QStringLiteral("--importar"), source() });
        QCOMPARE(none.exitCode, 3);
        QVERIFY2(none.err.contains(QStringLiteral("No existe la carpeta")), qPrintable(none.err));

        // Without --dir the tables go to the default data folder.
        writeSource();
        QCOMPARE(run({ QStringLiteral("--importar=") + source() }).exitCode, 0);
        QCOMPARE(registeredFolder(), path(QStringLiteral("xdg-data/huellario")));
        QVERIFY(QFileInfo::exists(path(QStringLiteral("xdg-data/huellario/INIAVIS.DB"))));
    }
};

QTEST_MAIN(TestImport)
#include "tst_import.moc"
