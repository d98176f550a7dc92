#include "app/event_pacing.h"

#include "app/event_guard.h"

namespace app {

namespace {
PacedPasses* current = nullptr;
}

PacedPasses::PacedPasses(int intervalMs, bool firstAtOnce, Hooks hooks)
    : intervalMs_(intervalMs), due_(firstAtOnce), hooks_(std::move(hooks)), outer_(current),
      inert_(current != nullptr) {
    sinceLast_.start();
    if (!inert_) current = this;
}

PacedPasses::~PacedPasses() {
    if (!inert_) current = outer_;
}

PacedPasses* PacedPasses::active() { return current; }

bool PacedPasses::pass() {
    if (inPass_) return false;
    if (!due_ && sinceLast_.elapsed() < intervalMs_) return false;
    due_ = false;
    struct InPass {
        bool& flag;
        explicit InPass(bool& f) : flag(f) { flag = true; }
        ~InPass() { flag = false; }
    } inPass{inPass_};
    if (hooks_.before) hooks_.before();
    processPendingEvents();
    if (hooks_.after) hooks_.after();
    sinceLast_.restart();
    return true;
}

} // namespace app
