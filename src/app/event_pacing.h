// Pacing of the event passes that long handlers make (opening a bible, the whole-bible run): a
// person follows about ten screen changes a second, so a pass that comes sooner than the interval
// after the previous one is skipped, and what a pass shows is brought up to date only for the
// passes that run.
#pragma once
#include <QElapsedTimer>

#include <functional>

namespace app {

class PacedPasses {
public:
    // Work done around each pass that runs: `before` brings up to date what the pass shows,
    // `after` undoes what only the pass needed.
    struct Hooks {
        std::function<void()> before;
        std::function<void()> after;
    };

    // Paces every pass asked for through pass() until destroyed. With `firstAtOnce` the first pass
    // runs when asked, otherwise once the interval has passed since construction. Inside a pacing
    // already in force a new one is inert: the outer one keeps pacing.
    PacedPasses(int intervalMs, bool firstAtOnce, Hooks hooks = {});
    ~PacedPasses();
    PacedPasses(const PacedPasses&) = delete;
    PacedPasses& operator=(const PacedPasses&) = delete;

    // The pacing in force, or nullptr.
    static PacedPasses* active();
    // Runs one pass (with the hooks around it) when it is due; true when it ran. Passes asked for
    // while a pass runs are skipped: the running pass handles their events.
    bool pass();

private:
    int intervalMs_;
    bool due_;
    Hooks hooks_;
    QElapsedTimer sinceLast_;
    PacedPasses* outer_;
    bool inert_;
    bool inPass_ = false;
};

} // namespace app
