// System colours resolved through Qt's palette roles.
#include "controls/Colors.h"

namespace controls {

QColor systemColor(SystemColor which, const QPalette& palette)
{
    // The roles Qt itself maps the desktop's button face and shadow to.
    switch (which) {
    case SystemColor::BtnFace:
        return palette.color(QPalette::Active, QPalette::Button);
    case SystemColor::BtnShadow:
        return palette.color(QPalette::Active, QPalette::Dark);
    case SystemColor::WindowText:
        return palette.color(QPalette::Active, QPalette::WindowText);
    case SystemColor::Window:
        return palette.color(QPalette::Active, QPalette::Window);
    case SystemColor::ActiveCaption: // Qt has no title-bar role; the highlight is its closest match
    case SystemColor::Highlight:
        return palette.color(QPalette::Active, QPalette::Highlight);
    }
    return {};
}

} // namespace controls
