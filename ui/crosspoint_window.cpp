// The crosspoint window's frame.
#include "ui/crosspoint_window.h"

TXelorForm::TXelorForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("XelorForm");
    setWindowTitle("Xelor Crosspoint Switch [used with Osdex EV Kit]");
    setGeometry(344, 120, 503, 261);
}
