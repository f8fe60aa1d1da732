#include "platform/Help.h"

#include "platform/Dialogs.h"
#include "platform/Guarded.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QStringDecoder>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace platform {

namespace {

const QString viewerTitle = QStringLiteral("Ayuda de Huellario");
const QByteArray magicLine = QByteArrayLiteral("HLR-HELP 1");
// A help file is a few kilobytes; anything this big is not one.
constexpr qint64 maxFileSize = qint64(4) * 1024 * 1024;

QString damaged(const QString& reason)
{
    return QStringLiteral("El archivo de ayuda está dañado: %1.").arg(reason);
}

} // namespace

std::optional<HelpFile> HelpFile::parse(const QByteArray& data, QString* error)
{
    auto fail = [error](const QString& reason) {
        if (error)
            *error = damaged(reason);
        return std::optional<HelpFile>();
    };
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(data);
    if (decoder.hasError())
        return fail(QStringLiteral("no es texto UTF-8 válido"));

    const QStringList lines = text.split(QLatin1Char('\n'));
    int index = 0;
    while (index < lines.size() && lines[index].trimmed().isEmpty())
        ++index;
    if (index == lines.size() || lines[index].trimmed() != QString::fromLatin1(magicLine))
        return fail(QStringLiteral("falta la cabecera «%1»").arg(QString::fromLatin1(magicLine)));

    HelpFile file;
    Topic* current = nullptr;
    for (++index; index < lines.size(); ++index) {
        QString line = lines[index];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.startsWith(QLatin1String("@@"))) {
            const QString header = line.mid(2).trimmed();
            const qsizetype blank = header.indexOf(QLatin1Char(' '));
            bool ok = false;
            const int number = header.left(blank < 0 ? header.size() : blank).toInt(&ok);
            if (!ok || number <= 0)
                return fail(QStringLiteral("la línea %1 no da un número de tema válido").arg(index + 1));
            if (file.m_topics.contains(number))
                return fail(QStringLiteral("el tema %1 aparece dos veces").arg(number));
            current = &file.m_topics[number];
            current->title
                = blank < 0 ? QStringLiteral("Tema %1").arg(number) : header.mid(blank + 1).trimmed();
            continue;
        }
        if (line.startsWith(QLatin1Char('#')))
            continue;
        if (!current) {
            if (!line.trimmed().isEmpty())
                return fail(QStringLiteral("hay texto antes del primer tema"));
            continue;
        }
        current->body += line + QLatin1Char('\n');
    }
    if (file.m_topics.isEmpty())
        return fail(QStringLiteral("no contiene ningún tema"));
    return file;
}

std::optional<HelpFile> HelpFile::load(const QString& path, QString* error)
{
    QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || !info.isFile()) {
        if (error)
            *error = QStringLiteral("No se encuentra el archivo de ayuda «%1».").arg(path);
        return std::nullopt;
    }
    if (info.size() > maxFileSize) {
        if (error)
            *error = damaged(QStringLiteral("es demasiado grande"));
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("No se puede leer el archivo de ayuda «%1».").arg(path);
        return std::nullopt;
    }
    return parse(file.readAll(), error);
}

namespace help {

namespace {

QString& helpPath()
{
    static QString path;
    return path;
}

Hook& hook()
{
    static Hook h;
    return h;
}

// The viewer: contents by topic number, an index by title with a filter,
// and the text of the chosen topic.
class Viewer : public QWidget {
public:
    explicit Viewer(QWidget* parent)
        : QWidget(parent, Qt::Window)
    {
        setWindowTitle(viewerTitle);
        setAttribute(Qt::WA_DeleteOnClose);
        resize(680, 460);
        auto* layout = new QHBoxLayout(this);
        auto* tabs = new QTabWidget(this);
        m_contents = new QListWidget(tabs);
        auto* indexPage = new QWidget(tabs);
        auto* indexLayout = new QVBoxLayout(indexPage);
        m_filter = new QLineEdit(indexPage);
        m_filter->setPlaceholderText(QStringLiteral("Escriba la palabra que busca"));
        m_index = new QListWidget(indexPage);
        indexLayout->addWidget(m_filter);
        indexLayout->addWidget(m_index);
        tabs->addTab(m_contents, QStringLiteral("Contenido"));
        tabs->addTab(indexPage, QStringLiteral("Índice"));
        m_text = new QTextBrowser(this);
        m_text->setOpenLinks(false);
        layout->addWidget(tabs, 1);
        layout->addWidget(m_text, 2);
        connect(m_contents, &QListWidget::currentItemChanged, this, platform::guard(this, &Viewer::showItem));
        connect(m_index, &QListWidget::currentItemChanged, this, platform::guard(this, &Viewer::showItem));
        connect(m_filter, &QLineEdit::textChanged, this, platform::guard(this, &Viewer::filterIndex));
    }

    void setFile(const HelpFile& file)
    {
        m_file = file;
        m_contents->clear();
        m_index->clear();
        for (auto it = file.topics().cbegin(); it != file.topics().cend(); ++it) {
            auto* item
                = new QListWidgetItem(QStringLiteral("%1. %2").arg(it.key()).arg(it->title), m_contents);
            item->setData(Qt::UserRole, it.key());
            auto* entry = new QListWidgetItem(it->title, m_index);
            entry->setData(Qt::UserRole, it.key());
        }
        m_index->sortItems();
    }

    void showNumber(int topic)
    {
        for (int row = 0; row < m_contents->count(); ++row) {
            if (m_contents->item(row)->data(Qt::UserRole).toInt() == topic) {
                m_contents->setCurrentRow(row);
                return;
            }
        }
        if (m_contents->count() > 0)
            m_contents->setCurrentRow(0);
    }

private:
    void showItem(QListWidgetItem* item)
    {
        if (!item)
            return;
        const auto& topics = m_file.topics();
        const auto found = topics.constFind(item->data(Qt::UserRole).toInt());
        if (found == topics.cend())
            return;
        m_text->setHtml(QStringLiteral("<h2>%1</h2>").arg(found->title.toHtmlEscaped()) + found->body);
    }

    void filterIndex(const QString& word)
    {
        for (int row = 0; row < m_index->count(); ++row) {
            QListWidgetItem* item = m_index->item(row);
            item->setHidden(!item->text().contains(word, Qt::CaseInsensitive));
        }
    }

    HelpFile m_file;
    QListWidget* m_contents = nullptr;
    QListWidget* m_index = nullptr;
    QLineEdit* m_filter = nullptr;
    QTextBrowser* m_text = nullptr;
};

// A topic in a small frame that any key or click closes.
class Popup : public QLabel {
public:
    explicit Popup(QWidget* parent)
        : QLabel(parent, Qt::Popup | Qt::FramelessWindowHint)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setWordWrap(true);
        setTextFormat(Qt::RichText);
        setMargin(8);
        setAutoFillBackground(true);
        QPalette colours = palette();
        colours.setColor(QPalette::Window, QColor(255, 255, 225));
        setPalette(colours);
        setFixedWidth(380);
    }

protected:
    void keyPressEvent(QKeyEvent*) override { close(); }
    void mousePressEvent(QMouseEvent*) override { close(); }
};

QPointer<Viewer>& viewer()
{
    static QPointer<Viewer> current;
    return current;
}

std::optional<HelpFile> loadOrSay(QWidget* parent)
{
    QString error;
    auto file = HelpFile::load(helpPath(), &error);
    if (!file)
        showMessage(parent, viewerTitle, error, MessageIcon::Warning);
    return file;
}

void openViewer(QWidget* parent, int topic)
{
    auto file = loadOrSay(parent);
    if (!file)
        return;
    if (topic != 0 && !file->topics().contains(topic)) {
        showMessage(parent, viewerTitle,
            QStringLiteral("El archivo de ayuda no contiene el tema %1.").arg(topic), MessageIcon::Warning);
        return;
    }
    // The viewer belongs to the window that asked, so a modal window does not block it.
    QWidget* owner = parent ? parent->window() : QApplication::activeWindow();
    Viewer* shown = viewer();
    if (shown && shown->parentWidget() != owner) {
        shown->close();
        shown = nullptr;
    }
    if (!shown) {
        shown = new Viewer(owner);
        viewer() = shown;
    }
    shown->setFile(*file);
    shown->showNumber(topic);
    shown->show();
    shown->raise();
    shown->activateWindow();
}

} // namespace

void setHelpFile(const QString& path)
{
    helpPath() = path;
}

QString helpFile()
{
    return helpPath();
}

void setHook(Hook h)
{
    hook() = std::move(h);
}

void showContents(QWidget* parent)
{
    if (hook()) {
        hook()(Request { Request::Kind::Contents, 0, {} });
        return;
    }
    openViewer(parent, 0);
}

void showTopic(QWidget* parent, int topic)
{
    if (topic == 0)
        return;
    if (hook()) {
        hook()(Request { Request::Kind::Topic, topic, {} });
        return;
    }
    openViewer(parent, topic);
}

void showPopup(QWidget* window, int topic)
{
    if (topic == 0)
        return;
    const QPoint corner = window ? window->mapToGlobal(QPoint(0, 0)) : QPoint();
    if (hook()) {
        hook()(Request { Request::Kind::Popup, topic, corner });
        return;
    }
    auto file = loadOrSay(window);
    if (!file)
        return;
    const auto found = file->topics().constFind(topic);
    if (found == file->topics().cend()) {
        showMessage(window, viewerTitle,
            QStringLiteral("El archivo de ayuda no contiene el tema %1.").arg(topic), MessageIcon::Warning);
        return;
    }
    auto* popup = new Popup(window);
    popup->setText(QStringLiteral("<b>%1</b>").arg(found->title.toHtmlEscaped()) + found->body);
    popup->adjustSize();
    popup->move(corner);
    popup->show();
}

} // namespace help
} // namespace platform
