#include "maintenance/slide_options.h"

#include "verse/blanks.h"
#include "verse/line_view.h"

#include <utility>

namespace maintenance {

namespace {

QString trimmedLastLine(verse::LineView& view) {
    const int count = view.lineCount();
    return count > 0 ? verse::trimmed(view.line(count - 1)) : QString();
}

} // namespace

bool forceSlideChange(verse::LineView& view, const QString& newSlideMarker) {
    if (trimmedLastLine(view) == newSlideMarker) return false;
    view.appendLine(newSlideMarker);
    return true;
}

bool removeSlideChange(verse::LineView& view, const QString& newSlideMarker) {
    if (view.lineCount() < 2 || trimmedLastLine(view) != newSlideMarker) return false;
    view.deleteLine(view.lineCount() - 1);
    return true;
}

std::vector<VerseStep> slideOptionSteps(std::function<OptionBoxes()> boxes, std::function<QString()> newSlideMarker) {
    VerseStep force = [boxes, newSlideMarker](verse::LineView& view) {
        return boxes().force && forceSlideChange(view, newSlideMarker());
    };
    VerseStep remove = [boxes = std::move(boxes), newSlideMarker = std::move(newSlideMarker)](verse::LineView& view) {
        return boxes().remove && removeSlideChange(view, newSlideMarker());
    };
    return {std::move(force), std::move(remove)};
}

bool runOverBible(RunDriver& driver) {
    return walkBible(driver, slideOptionSteps([&driver] { return driver.boxes(); },
                                              [&driver] { return driver.newSlideMarker(); }));
}

} // namespace maintenance
