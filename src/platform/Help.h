// The help file HLR20.HLP and its viewer: the contents and index, one topic
// by number, or a topic as a pop-up at the top-left of a window's client area.
#pragma once

#include <QMap>
#include <QPoint>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace platform {

// One help file in our own format: UTF-8 text that starts with the line
// "HLR-HELP 1"; each topic starts with a line "@@ <number> <title>" and its
// body, light HTML, runs to the next such line. Lines starting with "#" are
// comments.
class HelpFile {
public:
    struct Topic {
        QString title;
        QString body;
    };

    // Reads and checks the file; on failure returns nothing and sets `error`
    // to a Spanish sentence for the user.
    static std::optional<HelpFile> load(const QString& path, QString* error);
    static std::optional<HelpFile> parse(const QByteArray& data, QString* error);

    const QMap<int, Topic>& topics() const { return m_topics; }

private:
    QMap<int, Topic> m_topics;
};

namespace help {

// What a window asked of the help viewer; tests observe it through the hook.
struct Request {
    enum class Kind { Contents, Topic, Popup };
    Kind kind = Kind::Contents;
    int topic = 0;
    QPoint position; // global position of a pop-up's top-left corner
};

// Set once at start-up by the main window.
void setHelpFile(const QString& path);
QString helpFile();

// The contents and index of the help file.
void showContents(QWidget* parent);
// Topic `topic` in the viewer; 0 does nothing.
void showTopic(QWidget* parent, int topic);
// Topic `topic` as a pop-up at the top-left corner of `window`'s client area.
void showPopup(QWidget* window, int topic);

// Test hook: while set, requests go to it instead of the viewer.
using Hook = std::function<void(const Request&)>;
void setHook(Hook hook);

} // namespace help
} // namespace platform
