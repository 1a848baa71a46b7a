#include "ui/widgets/tool_buttons.h"

#include <QMainWindow>
#include <algorithm>

#include "ui/widgets/icons.h"

QToolButton* Add_Tool_Button(QToolBar* bar, const QString& name, const QString& hint,
                             const QIcon& icon, bool checkable) {
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setIcon(icon);
    button->setCheckable(checkable);
    button->setAutoRaise(true);
    bar->addWidget(button);
    return button;
}

ViewButtons Add_View_Buttons(QToolBar* bar, const QString& parallel_port_hint) {
    ViewButtons buttons;
    for (int n = 0; n < 8; ++n)
        buttons.channel[n] =
            Add_Tool_Button(bar, QString("ToolButtonView%1").arg(n),
                            QString("View Channel %1").arg(n), View_Channel_Icon(n));
    buttons.crosspoint = Add_Tool_Button(bar, "ToolButtonViewCrosspoint", "View Crosspoint",
                                         Tool_Icon(IconId::ViewCrosspoint));
    buttons.mwrite = Add_Tool_Button(bar, "ToolButtonViewMwrite", "View Multi-Channel Write",
                                     Tool_Icon(IconId::ViewMwrite));
    buttons.parallel_port = Add_Tool_Button(bar, "ToolButtonParallelPort", parallel_port_hint,
                                            Tool_Icon(IconId::ParallelPort));
    return buttons;
}

namespace {

// The widest row of the window's top tool bars at their preferred widths; bars sit side by
// side in a row with no gap, and a break starts a new row.
int Widest_Tool_Bar_Row(const QMainWindow& window) {
    int widest = 0;
    int row = 0;
    for (QToolBar* bar : window.findChildren<QToolBar*>(Qt::FindDirectChildrenOnly)) {
        if (window.toolBarArea(bar) != Qt::TopToolBarArea || bar->isHidden()) continue;
        if (window.toolBarBreak(bar)) row = 0;
        row += bar->sizeHint().width();
        widest = std::max(widest, row);
    }
    return widest;
}

}  // namespace

void Widen_For_Tool_Bars(QMainWindow& window) {
    const int needed = Widest_Tool_Bar_Row(window);
    if (needed > window.width()) window.resize(needed, window.height());
}
