#include "reminders/DesktopNotice.h"

#include "engine/AliasRegistry.h"
#include "engine/EngineError.h"
#include "platform/Clock.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QTimer>

#include <cstdio>

namespace reminders {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kOpenAction = QStringLiteral("abrir");

// Long enough for someone who logs in and looks away; the reminders show
// again at the program's start anyway.
constexpr int kAnswerWaitMs = 10 * 60 * 1000;
// A server that is there answers at once; one being started by the bus may
// take a moment.
constexpr int kCallTimeoutMs = 10 * 1000;

void say(const QString& text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stderr);
}

QString shortDate(const QDate& date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QString lineOf(const data::StoredReminder& r, bool markup)
{
    const auto text = [markup](const QString& s) { return markup ? s.toHtmlEscaped() : s; };
    QString line = r.description.trimmed().isEmpty() ? QStringLiteral("(sin descripción)")
                                                     : text(r.description.trimmed());
    if (!r.start.isValid())
        line += QStringLiteral(" (hasta el %1)").arg(shortDate(r.end));
    else if (r.start == r.end)
        line += QStringLiteral(" (el %1)").arg(shortDate(r.start));
    else
        line += QStringLiteral(" (del %1 al %2)").arg(shortDate(r.start), shortDate(r.end));
    QStringList remarks;
    for (const QString& remark : { r.remark1, r.remark2 })
        if (!remark.trimmed().isEmpty())
            remarks << text(remark.trimmed());
    if (!remarks.isEmpty())
        line += QStringLiteral(": ") + remarks.join(QLatin1Char(' '));
    return line;
}

std::optional<QDate> lastNoticeDay()
{
    QFile file(lastNoticeFile());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QDate day = QDate::fromString(QString::fromLatin1(file.read(32)).trimmed(), Qt::ISODate);
    return day.isValid() ? std::optional(day) : std::nullopt;
}

void rememberNoticeDay(const QDate& day)
{
    const QString path = lastNoticeFile();
    QSaveFile file(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !file.open(QIODevice::WriteOnly)
        || file.write(day.toString(Qt::ISODate).toLatin1() + '\n') < 0 || !file.commit())
        // Posted all the same; at worst the notice comes again at the next login today.
        say(QStringLiteral("No se ha podido anotar el aviso de hoy en «%1»: %2")
                .arg(QDir::toNativeSeparators(path), file.errorString()));
}

// Whether the call failed because nobody answers for notifications, as
// opposed to a server that refused this one.
bool noServer(const QDBusMessage& reply)
{
    static const QStringList kAbsent { QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"),
        QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner"),
        QStringLiteral("org.freedesktop.DBus.Error.NoReply"),
        QStringLiteral("org.freedesktop.DBus.Error.Spawn.ServiceNotFound"),
        QStringLiteral("org.freedesktop.DBus.Error.Disconnected"),
        QStringLiteral("org.freedesktop.DBus.Error.Timeout"),
        QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod") };
    return reply.type() == QDBusMessage::ErrorMessage && kAbsent.contains(reply.errorName());
}

} // namespace

// The server's answer to our notice, if one comes.
class NoticeAnswer : public QObject {
    Q_OBJECT
public:
    uint id = 0;
    QString action; // empty when closed without one

signals:
    void answered();

public slots:
    void actionInvoked(uint notice, const QString& key)
    {
        if (notice == id && action.isEmpty()) {
            action = key;
            emit answered();
        }
    }
    void closed(uint notice, uint /*reason*/)
    {
        if (notice == id)
            emit answered();
    }
};

QString lastNoticeFile()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/huellario/avisos-notificados");
}

Notice composeNotice(const std::vector<data::StoredReminder>& due, bool markup)
{
    const int count = int(due.size());
    Notice notice;
    notice.summary = count == 1 ? QStringLiteral("Huellario: 1 aviso pendiente")
                                : QStringLiteral("Huellario: %1 avisos pendientes").arg(count);
    QStringList lines;
    for (int i = 0; i < count && i < kNoticeLines; ++i)
        lines << lineOf(due[size_t(i)], markup);
    const int rest = count - int(lines.size());
    if (rest == 1)
        lines << QStringLiteral("… y 1 aviso más, en Huellario.");
    else if (rest > 1)
        lines << QStringLiteral("… y %1 avisos más, en Huellario.").arg(rest);
    notice.body = lines.join(QLatin1Char('\n'));
    return notice;
}

int postDueReminders()
{
    // No data folder yet is nothing to tell, not an error: this runs at every login.
    const std::optional<QString> folder = engine::AliasRegistry().folderOf(QStringLiteral("HLR10"));
    if (!folder || !QFileInfo(*folder).isDir())
        return NoticeDone;
    // Read once, so a run over midnight judges every reminder by one day.
    const QDate today = platform::today();
    if (lastNoticeDay() == today)
        return NoticeDone;

    std::vector<data::StoredReminder> due;
    try {
        due = data::dueReminders(*folder, today);
    } catch (const engine::EngineError& error) {
        say(QStringLiteral("Huellario no ha podido leer los avisos: %1").arg(error.message()));
        return NoticeReadFailed;
    }
    if (due.empty())
        return NoticeDone;

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        say(QStringLiteral(
            "No hay bus de sesión del escritorio; los avisos de hoy se verán al abrir Huellario."));
        return NoticeNoServer;
    }
    const QDBusMessage capsReply = bus.call(
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("GetCapabilities")),
        QDBus::Block, kCallTimeoutMs);
    if (capsReply.type() != QDBusMessage::ReplyMessage) {
        say(noServer(capsReply) ? QStringLiteral(
                "No hay servidor de notificaciones en el escritorio; los avisos de hoy se verán al "
                "abrir Huellario.")
                                : QStringLiteral("El servidor de notificaciones no responde: %1")
                                      .arg(capsReply.errorMessage()));
        return NoticeNoServer;
    }
    const QStringList caps = capsReply.arguments().value(0).toStringList();
    const bool actions = caps.contains(QStringLiteral("actions"));
    const Notice notice = composeNotice(due, caps.contains(QStringLiteral("body-markup")));

    // Listening before posting, so an answer that comes at once is not missed.
    NoticeAnswer answer;
    if (actions) {
        bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), &answer,
            SLOT(actionInvoked(uint, QString)));
        bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), &answer,
            SLOT(closed(uint, uint)));
    }

    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("org.huellario.Huellario"));
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1)));
    const QStringList actionList = actions ? QStringList { QStringLiteral("default"),
        QStringLiteral("Abrir Huellario"), kOpenAction, QStringLiteral("Abrir Huellario") }
                                           : QStringList {};
    QDBusMessage notify
        = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    notify << QStringLiteral("Huellario") << uint(0) << QStringLiteral("org.huellario.Huellario")
           << notice.summary << notice.body << actionList << hints << int(-1);
    const QDBusMessage posted = bus.call(notify, QDBus::Block, kCallTimeoutMs);
    if (posted.type() != QDBusMessage::ReplyMessage) {
        say(noServer(posted) ? QStringLiteral(
                "No hay servidor de notificaciones en el escritorio; los avisos de hoy se verán al "
                "abrir Huellario.")
                             : QStringLiteral("El servidor de notificaciones no ha aceptado los avisos: %1")
                                   .arg(posted.errorMessage()));
        return NoticeNoServer;
    }
    rememberNoticeDay(today);
    if (!actions)
        return NoticeDone;

    answer.id = posted.arguments().value(0).toUInt();
    QEventLoop loop;
    QObject::connect(&answer, &NoticeAnswer::answered, &loop, &QEventLoop::quit);
    QTimer::singleShot(kAnswerWaitMs, &loop, &QEventLoop::quit);
    loop.exec();
    if (answer.action != QLatin1String("default") && answer.action != kOpenAction)
        return NoticeDone;
    const QString program
        = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("huellario"));
    if (!QProcess::startDetached(program, {})) {
        say(QStringLiteral("No se ha podido abrir Huellario (%1).").arg(QDir::toNativeSeparators(program)));
        return NoticeReadFailed;
    }
    return NoticeDone;
}

} // namespace reminders

#include "DesktopNotice.moc"
