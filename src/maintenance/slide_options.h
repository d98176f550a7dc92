// The whole-bible slide-change options: the option steps on one editor view, and the run that
// applies them through the whole-bible walk (bible_walk.h).
#pragma once
#include "maintenance/bible_walk.h"

#include <QString>

#include <functional>
#include <vector>

namespace verse {
class LineView;
}

namespace maintenance {

// Option step 1: when the trimmed last line is not `newSlideMarker`, append a marker line.
// Returns true when the view changed (the caller sets the pane's edited flag).
bool forceSlideChange(verse::LineView& view, const QString& newSlideMarker);

// Option step 2: when the trimmed last line is `newSlideMarker` and the view holds at least two
// lines, delete the last line. Returns true when the view changed.
bool removeSlideChange(verse::LineView& view, const QString& newSlideMarker);

// The ticked state of the two option boxes, read anew for every verse.
struct OptionBoxes {
    bool force = false;  // CheckBox1
    bool remove = false; // CheckBox2
};

// The two option steps as walk steps: each reads the boxes and the marker anew at every verse
// (a box ticked during the run takes effect at the next verse).
std::vector<VerseStep> slideOptionSteps(std::function<OptionBoxes()> boxes, std::function<QString()> newSlideMarker);

// A walk driver that also tells the option boxes and the marker text.
class RunDriver : public WalkDriver {
public:
    virtual OptionBoxes boxes() = 0;
    virtual QString newSlideMarker() = 0;
};

// The options' run: walkBible over every book with slideOptionSteps. A removal run changes
// pane 2 in the same way as pane 1. Returns false when it ended early on request.
bool runOverBible(RunDriver& driver);

} // namespace maintenance
