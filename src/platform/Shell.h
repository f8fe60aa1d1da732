// The desktop shell: hands a text (a file path, a "mailto:" or a web
// address) to the desktop's default program. Tests install a recording fake.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace platform {

class Shell {
public:
    virtual ~Shell() = default;
    // Hands `text` to the desktop; false when the desktop refused it.
    virtual bool openText(const QString& text) = 0;
};

// The shell in use: the desktop's own unless a test has replaced it.
Shell& shell();
// Replaces the shell in use; nullptr goes back to the desktop's.
void setShell(std::unique_ptr<Shell> replacement);

// Whether the desktop may open `path` as a picture of the album: an existing
// regular file with the extension bmp, jpg, jpeg, emf, wmf or ico (any case),
// also once symbolic links are followed. Anything else, a program or a script
// above all, is never handed to the desktop.
bool isOpenablePictureFile(const QString& path);

// A shell that opens nothing and remembers every text handed to it.
class RecordingShell : public Shell {
public:
    bool openText(const QString& text) override
    {
        m_opened.append(text);
        return m_answer;
    }
    const QStringList& opened() const { return m_opened; }
    void setAnswer(bool answer) { m_answer = answer; }

private:
    QStringList m_opened;
    bool m_answer = true;
};

} // namespace platform
