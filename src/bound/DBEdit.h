// A text box bound to a field: shows it, puts the table into edit state when
// typed into, writes the text back when left or when the table posts.
#pragma once

#include "bound/DateTemplate.h"
#include "bound/FieldLink.h"

#include <QLineEdit>
#include <optional>

namespace bound {

class CharacterLimit;

class DBEdit : public QLineEdit {
    Q_OBJECT
public:
    enum class CharCase { Normal, Upper };

    explicit DBEdit(QWidget* parent = nullptr);

    void setDataSource(engine::DataSource* source);
    engine::DataSource* dataSource() const { return m_link.dataSource(); }
    void setDataField(const QString& fieldName);
    const QString& dataField() const { return m_link.fieldName(); }

    void setCharCase(CharCase charCase) { m_charCase = charCase; }
    CharCase charCase() const { return m_charCase; }
    // A length the window gives; without it a text field's size is the limit.
    void setFieldMaxLength(int length);
    // The limit in characters, as the field counts them. It hides
    // QLineEdit's, which counts UTF-16 units and is kept out of the way.
    int maxLength() const { return m_maxCharacters; }
    // Date fields are typed through the date template unless switched off.
    void setDateTemplate(bool on);
    bool usesDateTemplate() const;

    // A change typed but not yet written into the field.
    bool pending() const { return m_pending; }
    // Writes the pending text into the field; EngineError when the field or
    // the template refuses it (the box then keeps the focus, text selected).
    void commit();
    // Shows the stored value again, dropping what was typed.
    void reset();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void showField();
    void setMaxCharacters(int characters);
    bool beginChange();
    void typeInTemplate(QKeyEvent* event);
    void afterEdit(const QString& text);
    [[noreturn]] void refuse(const QString& message, bool withBeep);
    DateTemplate dateTemplate() const;

    FieldLink m_link;
    CharCase m_charCase = CharCase::Normal;
    std::optional<int> m_fieldMaxLength;
    int m_maxCharacters = 32767;
    CharacterLimit* m_characterLimit = nullptr;
    bool m_dateTemplateOff = false;
    bool m_pending = false;
    QString m_textBeforeTyping;
    bool m_showing = false;
};

} // namespace bound
