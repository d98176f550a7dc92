#include "verse/line_view.h"

namespace verse {

QStringList LineView::lines() const {
    QStringList result;
    const int count = lineCount();
    result.reserve(count);
    for (int i = 0; i < count; ++i)
        result.append(line(i));
    return result;
}

void LineView::setStyle(CharStyle style) {
    setBold(style.bold);
    setColour(style.colour);
}

} // namespace verse
