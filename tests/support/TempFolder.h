// A scratch data folder with its own alias file, pointed at by HLR_ALIASES
// for the life of the object, so a test never sees the user's data.
#pragma once

#include <QString>
#include <QTemporaryDir>

namespace testsupport {

class TempFolder {
public:
    // Registers `alias` for the new folder in a fresh alias file.
    explicit TempFolder(const QString& alias = QStringLiteral("HLR10"));
    ~TempFolder();

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    QString aliasFile() const { return m_aliasFile; }

private:
    QTemporaryDir m_dir;
    QString m_aliasFile;
    QByteArray m_previousAliases;
};

} // namespace testsupport
