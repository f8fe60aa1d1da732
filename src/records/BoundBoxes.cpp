#include "records/BoundBoxes.h"

#include "bound/DBEdit.h"
#include "platform/Furniture.h"

namespace records {

bound::DBEdit* addBoundBox(QWidget* window, const char* name, engine::DataSource* source, const char* field,
    const QRect& geometry, bool upperCase)
{
    auto* box = new bound::DBEdit(window); // owned by the window
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    platform::furniture::styleBoundBox(box);
    if (upperCase)
        box->setCharCase(bound::DBEdit::CharCase::Upper);
    box->setDataSource(source);
    box->setDataField(QString::fromLatin1(field));
    return box;
}

} // namespace records
