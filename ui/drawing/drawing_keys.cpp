// The drawing windows' keys.
#include "ui/drawing/drawing_keys.h"

#include <QAction>
#include <QToolButton>
#include <array>

#include "ui/drawing/drawing_form.h"

QKeySequence Tool_Key(int tool) {
    // Crosshair, Pixel, Quad, Open, Solid, Horizontal and Vertical bars, Text, Load, (the
    // disabled save tool), Band of shared lines, clocK, Memory read-back.
    static constexpr std::array<Qt::Key, 13> keys = {
        Qt::Key_C, Qt::Key_P, Qt::Key_Q,       Qt::Key_O, Qt::Key_S, Qt::Key_H, Qt::Key_V,
        Qt::Key_T, Qt::Key_L, Qt::Key_unknown, Qt::Key_B, Qt::Key_K, Qt::Key_M};
    if (tool < 0 || tool >= static_cast<int>(keys.size()) || keys[tool] == Qt::Key_unknown)
        return {};
    return QKeySequence(keys[tool]);
}

QKeySequence Level_Key(int level) {
    if (level < 10) return QKeySequence(Qt::Key_0 + level);
    return QKeySequence(Qt::ALT | (Qt::Key_0 + level - 10));
}

QKeySequence Channel_Key(int channel) {
    return QKeySequence(Qt::CTRL | Qt::ALT | (Qt::Key_0 + channel));
}

namespace {

// A key that clicks a button of the window, as the mouse would (nothing while it is disabled).
void Add_Button_Key(QWidget* window, QToolButton* button, const QKeySequence& key) {
    if (!button || key.isEmpty()) return;
    auto* action = new QAction(window);
    action->setObjectName("key" + button->objectName());
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, button, [button] {
        if (button->isEnabled()) button->click();
    });
    window->addAction(action);
}

}  // namespace

void TDrawingForm::Add_Drawing_Keys(const std::array<QToolButton*, 8>& channel_buttons) {
    for (const auto& [button, tool] : tool_buttons_) Add_Button_Key(this, button, Tool_Key(tool));
    for (int level = 0; level < 16; ++level)
        Add_Button_Key(this, ToolButtonFILL[level], Level_Key(level));
    for (int n = 0; n < 8; ++n) Add_Button_Key(this, channel_buttons[n], Channel_Key(n));
}
