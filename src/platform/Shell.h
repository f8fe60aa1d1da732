// The desktop shell: hands a text (a file path, a "mailto:" or a web
// address) to the desktop's default program. Tests install a recording fake.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace platform {

// What the shell answers: a value above 32 means the desktop took the text;
// 32 or less is the reason it did not, which windows may show to the user.
inline constexpr int kShellOpened = 42;
inline constexpr int kShellFileNotFound = 2; // a path that names no file
inline constexpr int kShellNoHandler = 31; // no program takes the text, or it is no address
inline bool shellSucceeded(int result)
{
    return result > 32;
}

class Shell {
public:
    virtual ~Shell() = default;
    // Hands `text` to the desktop; see kShellOpened for the answer.
    virtual int openText(const QString& text) = 0;
    // Hands a web address typed by the owner to the desktop. The desktop's
    // shell opens only what webUrlFor accepts; any other shell (a test's)
    // takes the text as openText does.
    virtual int openWebAddress(const QString& text) { return openText(text); }
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
    int openText(const QString& text) override
    {
        m_opened.append(text);
        return m_answer;
    }
    const QStringList& opened() const { return m_opened; }
    void setAnswer(int answer) { m_answer = answer; }

private:
    QStringList m_opened;
    int m_answer = kShellOpened;
};

} // namespace platform
