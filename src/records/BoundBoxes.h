// The bound text box of the record windows: named, placed, styled as every
// box is and tied to its field. Its label comes from furniture::addFieldLabel.
#pragma once

#include <QRect>

class QWidget;
namespace bound {
class DBEdit;
}
namespace engine {
class DataSource;
}

namespace records {

// A box on `window` over `field` of `source`; capitals when `upperCase`.
bound::DBEdit* addBoundBox(QWidget* window, const char* name, engine::DataSource* source, const char* field,
    const QRect& geometry, bool upperCase);

} // namespace records
