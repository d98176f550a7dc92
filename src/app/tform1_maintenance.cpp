// TForm1: the whole-bible slide-change options and the compaction at close.
#include "app/tform1.h"

void TForm1::CheckBox1Click() {
    // enables BitBtn2, disables CheckBox2 while ticked
}

void TForm1::CheckBox2Click() {
    // enables BitBtn2, disables CheckBox1 while ticked
}

void TForm1::BitBtn2Click() {
    // asks for a tick or runs ModifyDB
}

void TForm1::ModifyDB() {
    // walks every verse of the open bibles
}

bool TForm1::CompactAndRepair(const QString& path) {
    // compacts one database file through a temporary copy
    (void)path;
    return false;
}

void TForm1::closeStepCompact() {
    // compacts the files the panes opened
}
