#include "bound/DBEdit.h"

#include "engine/EngineError.h"
#include "engine/Field.h"
#include "engine/Table.h"
#include "platform/Dialogs.h"
#include "platform/Guarded.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QValidator>

#include <algorithm>

namespace bound {

namespace {

bool isTyping(const QKeyEvent* event)
{
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)
        return true;
    for (const auto key : { QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo,
             QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord, QKeySequence::DeleteEndOfLine,
             QKeySequence::DeleteCompleteLine }) {
        if (event->matches(key))
            return true;
    }
    const QString text = event->text();
    // A character outside the BMP comes as both its halves in one event.
    const bool printable = !text.isEmpty()
        && (text.at(0).isPrint()
            || (text.at(0).isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate()));
    return printable && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

} // namespace

// Holds the box to a number of characters, where QLineEdit's own limit counts
// UTF-16 units and could keep half of one. Like that limit, it cuts what was
// just typed or pasted (the characters before the cursor), not the end.
class CharacterLimit : public QValidator {
public:
    explicit CharacterLimit(QObject* parent)
        : QValidator(parent)
    {
    }
    void setLimit(int characters) { m_limit = characters; }

    State validate(QString& input, int& pos) const override
    {
        int excess = engine::characterCount(input) - m_limit;
        if (excess <= 0)
            return Acceptable;
        qsizetype end = std::clamp<qsizetype>(pos, 0, input.size());
        if (end == 0)
            end = input.size();
        qsizetype start = end;
        for (; excess > 0 && start > 0; --excess) {
            --start;
            if (start > 0 && input[start].isLowSurrogate() && input[start - 1].isHighSurrogate())
                --start;
        }
        input.remove(start, end - start);
        if (pos >= end)
            pos -= int(end - start);
        else if (pos > start)
            pos = int(start);
        // Still too long only when the cursor was near the start.
        input = engine::leftCharacters(input, m_limit);
        pos = std::min(pos, int(input.size()));
        return Acceptable;
    }

private:
    int m_limit = 32767;
};

DBEdit::DBEdit(QWidget* parent)
    : QLineEdit(parent)
    , m_link([this] { showField(); }, [this] { commit(); })
{
    // Accelerators alone never fire while a text box has the focus.
    setProperty("hlrTakesCharacters", true);
    // Every change must pass through the keyboard, where auto-edit happens.
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    connect(this, &QLineEdit::textEdited, this, platform::guard(this, &DBEdit::afterEdit));
    m_characterLimit = new CharacterLimit(this);
    setValidator(m_characterLimit);
}

void DBEdit::setMaxCharacters(int characters)
{
    m_maxCharacters = characters;
    m_characterLimit->setLimit(characters);
    // QLineEdit's own limit, in units, must never cut first.
    QLineEdit::setMaxLength(32767);
}

void DBEdit::setDataSource(engine::DataSource* source)
{
    m_link.setDataSource(source);
}

void DBEdit::setDataField(const QString& fieldName)
{
    m_link.setFieldName(fieldName);
}

void DBEdit::setFieldMaxLength(int length)
{
    m_fieldMaxLength = length;
    showField();
}

void DBEdit::setDateTemplate(bool on)
{
    m_dateTemplateOff = !on;
    showField();
}

bool DBEdit::usesDateTemplate() const
{
    const engine::Field* f = m_link.field();
    return !m_dateTemplateOff && f && f->kind() == engine::FieldKind::Date;
}

DateTemplate DBEdit::dateTemplate() const
{
    return DateTemplate(engine::shortDateFormat());
}

void DBEdit::showField()
{
    m_showing = true;
    const engine::Field* f = m_link.field();
    if (usesDateTemplate()) {
        setMaxCharacters(DateTemplate::length);
        setText(dateTemplate().textOf(f->isNull() ? QDate() : f->asDate()));
    } else {
        if (m_fieldMaxLength)
            setMaxCharacters(*m_fieldMaxLength);
        else if (f && f->kind() == engine::FieldKind::Text && f->size() > 0)
            setMaxCharacters(f->size());
        else
            setMaxCharacters(32767);
        setText(f ? f->asString() : QString());
    }
    m_pending = false;
    m_showing = false;
}

void DBEdit::reset()
{
    showField();
}

bool DBEdit::beginChange()
{
    if (isReadOnly())
        return false;
    return m_link.edit();
}

void DBEdit::afterEdit(const QString& text)
{
    // A key the length limit turned away changed nothing.
    if (m_showing || text == m_textBeforeTyping)
        return;
    m_pending = true;
    if (m_charCase == CharCase::Upper && text != text.toUpper()) {
        const int position = cursorPosition();
        setText(text.toUpper());
        setCursorPosition(position);
    }
}

void DBEdit::keyPressEvent(QKeyEvent* event)
{
    platform::guarded([&] {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            // Escape abandons what was typed; it never closes the window.
            reset();
            selectAll();
            event->accept();
            return;
        }
        if (!isTyping(event)) {
            // Alt with a letter is an accelerator, never text, also when no
            // shown button carries it.
            if ((event->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) && !event->text().isEmpty()
                && event->text().at(0).isPrint()) {
                event->ignore();
                return;
            }
            QLineEdit::keyPressEvent(event);
            return;
        }
        if (!beginChange()) {
            event->accept();
            return;
        }
        if (usesDateTemplate()) {
            typeInTemplate(event);
            return;
        }
        if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
            // Undo could bring back text from before the last showing of the field.
            event->accept();
            return;
        }
        m_textBeforeTyping = text();
        if (m_charCase == CharCase::Upper && !event->text().isEmpty()) {
            QKeyEvent upper(event->type(), event->key(), event->modifiers(), event->text().toUpper(),
                event->isAutoRepeat(), event->count());
            QLineEdit::keyPressEvent(&upper);
            event->setAccepted(upper.isAccepted());
            return;
        }
        QLineEdit::keyPressEvent(event);
    });
}

void DBEdit::typeInTemplate(QKeyEvent* event)
{
    event->accept();
    const DateTemplate form = dateTemplate();
    QString text = this->text();
    if (text.length() != DateTemplate::length)
        text = form.emptyText();
    int position = cursorPosition();
    const int selStart = hasSelectedText() ? selectionStart() : position;
    const int selLength = hasSelectedText() ? int(selectedText().length()) : 0;
    bool changed = true;
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete
        || event->matches(QKeySequence::DeleteStartOfWord) || event->matches(QKeySequence::DeleteEndOfWord)) {
        form.erase(text, position, selStart, selLength, event->key() != Qt::Key_Delete);
    } else if (event->matches(QKeySequence::Cut)) {
        if (selLength > 0) {
            copy();
            form.erase(text, position, selStart, selLength, false);
        }
    } else if (event->matches(QKeySequence::Paste)) {
        const QString pasted = QApplication::clipboard()->text();
        int start = selStart;
        int length = selLength;
        for (const QChar c : pasted) {
            if (c == form.separator())
                continue;
            if (!form.type(text, position, start, length, c))
                break;
            length = 0;
            start = position;
        }
    } else if (!event->text().isEmpty()) {
        changed = form.type(text, position, selStart, selLength, event->text().at(0));
        if (!changed)
            platform::beep();
    } else {
        changed = false;
    }
    if (!changed)
        return;
    setText(text);
    setCursorPosition(position);
    m_pending = true;
}

void DBEdit::inputMethodEvent(QInputMethodEvent* event)
{
    platform::guarded([&] {
        if (!event->commitString().isEmpty() && (usesDateTemplate() || !beginChange())) {
            event->accept();
            return;
        }
        m_textBeforeTyping = text();
        QLineEdit::inputMethodEvent(event);
    });
}

void DBEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        selectAll();
}

void DBEdit::focusOutEvent(QFocusEvent* event)
{
    platform::guarded([&] {
        QLineEdit::focusOutEvent(event);
        // Another window coming to the front (a message box, another program) is
        // not leaving the box.
        if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
            return;
        commit();
    });
}

void DBEdit::commit()
{
    if (!m_pending)
        return;
    engine::Field* f = m_link.field();
    if (!f) {
        m_pending = false;
        return;
    }
    if (usesDateTemplate()) {
        const DateTemplate::Result result = dateTemplate().check(text());
        if (result.check == DateTemplate::Check::BlankYear)
            refuse(QStringLiteral("Invalid input value.  Use escape key to abandon changes"), true);
        if (result.check == DateTemplate::Check::NotADate)
            refuse(QStringLiteral("'%1' is not a valid date").arg(result.typed), false);
        try {
            f->setAsDate(result.date);
        } catch (const engine::EngineError& error) {
            refuse(error.message(), false);
        }
    } else {
        try {
            f->setAsString(text());
        } catch (const engine::EngineError& error) {
            refuse(error.message(), false);
        }
    }
    m_pending = false;
}

void DBEdit::refuse(const QString& message, bool withBeep)
{
    // The box keeps the focus with its whole text selected, so the user can
    // type again or press Escape.
    setFocus(Qt::OtherFocusReason);
    selectAll();
    if (withBeep)
        platform::beep();
    throw engine::EngineError(message);
}

} // namespace bound
