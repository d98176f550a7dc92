// The in-memory editor view against the shared line-model, command and save tables.
#include "verse/memory_line_view.h"

#include "line_view_contract.h"

namespace {

struct MemoryHolder {
    verse::MemoryLineView memory;
    verse::LineView& view() { return memory; }
    void select(verse::Caret anchor, verse::Caret caret) { memory.select(anchor, caret); }
    verse::CharStyle styleAt(int line, int column) const { return memory.styleAt(line, column); }
    QString rawText() const { return memory.rawText(); }
};

} // namespace

namespace line_view_contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Memory, LineViewContract, MemoryHolder);
}
