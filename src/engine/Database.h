// A database connection: the folder of table files that an alias names.
#pragma once

#include <QString>

namespace engine {

class Database {
public:
    Database(QString name, QString alias);

    const QString& name() const { return m_name; }
    const QString& alias() const { return m_alias; }

    // Resolves the alias and checks the folder; EngineError naming the alias
    // or the folder when either is missing. No effect when connected.
    void open();
    // Connects to the folder itself, for readers given a folder rather than
    // the alias; EngineError naming it when it is missing.
    void openFolder(const QString& folder);
    void close();
    bool connected() const { return m_connected; }

    // The folder of the table files; valid while connected.
    const QString& folder() const { return m_folder; }
    QString filePath(const QString& fileName) const;

private:
    QString m_name;
    QString m_alias;
    QString m_folder;
    bool m_connected = false;
};

} // namespace engine
