// The engine's own configuration: which folder a database alias stands for.
// An INI file ([HLR10] path=...), by default in the user's config folder, or
// the file named by HLR_ALIASES.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace engine {

class AliasRegistry {
public:
    // The alias file in use: $HLR_ALIASES, else $XDG_CONFIG_HOME (or
    // ~/.config)/huellario/aliases.conf.
    static QString defaultFile();

    explicit AliasRegistry(QString file = defaultFile());

    const QString& file() const { return m_file; }
    std::optional<QString> folderOf(const QString& alias) const;
    // Writes or replaces the alias entry, creating the file and its folder.
    // The file is replaced in one step and every other line keeps its bytes;
    // EngineError, with the file as it was, for a folder it cannot hold or
    // a write that fails (a full disk).
    void setFolder(const QString& alias, const QString& folder);
    // The file's bytes, or nothing when there is no file; EngineError when
    // it exists and cannot be read.
    std::optional<QByteArray> contents() const;
    // Puts back what contents() returned, in one step as setFolder does.
    void restore(const std::optional<QByteArray>& contents) const;
    // Whether a folder reads back exactly as written: no line breaks, no
    // blanks at either end.
    static bool canHold(const QString& folder);

private:
    QString m_file;
};

} // namespace engine
