#include "report/printing/ReportStatus.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace report {

ReportStatusWindow::ReportStatusWindow(const QString& title, QWidget* parent)
    : platform::Window(parent)
{
    setObjectName(QStringLiteral("EstatusListado"));
    setWindowTitle(title);
    // The rest of the program waits while the report is made.
    setWindowModality(Qt::ApplicationModal);
    buildUnlessDeferred();
}

void ReportStatusWindow::build()
{
    auto* layout = new QVBoxLayout(this);
    LabelEstado = new QLabel(this);
    LabelEstado->setObjectName(QStringLiteral("LabelEstado"));
    LabelEstado->setAlignment(Qt::AlignCenter);
    LabelEstado->setMinimumWidth(260);
    layout->addWidget(LabelEstado);
    But_Cancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    But_Cancelar->setObjectName(QStringLiteral("But_Cancelar"));
    layout->addWidget(But_Cancelar, 0, Qt::AlignCenter);
    connect(But_Cancelar, &QPushButton::clicked, this, [this] { m_cancelled = true; });
    // The keyboard's way to the button, its caption kept as it is: Alt+C, and
    // Escape (below); the button holds the focus, so the keys reach it.
    auto* cancelKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_C), this);
    connect(cancelKey, &QShortcut::activated, But_Cancelar, &QPushButton::click);
    But_Cancelar->setDefault(true);
    setFocusProxy(But_Cancelar);
    LabelEstado->setText(QStringLiteral("Generando página 99999"));
    setFixedSize(sizeHint());
    LabelEstado->clear();
}

bool ReportStatusWindow::step(const QString& text, int page)
{
    LabelEstado->setText(QString(text).replace(QLatin1String("%p"), QString::number(page)));
    if (isVisible())
        QCoreApplication::processEvents();
    return !m_cancelled;
}

void ReportStatusWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_cancelled = true;
        return;
    }
    Window::keyPressEvent(event);
}

void ReportStatusWindow::closeEvent(QCloseEvent* event)
{
    // Closing it (Alt+F4) stops the work; the window goes when the work has stopped.
    m_cancelled = true;
    event->ignore();
}

} // namespace report
