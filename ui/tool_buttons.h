// A tool-bar button as every window's tool bars have it: named, with its hint and picture,
// flat until the pointer is over it.
#pragma once

#include <QIcon>
#include <QString>
#include <QToolBar>
#include <QToolButton>

inline QToolButton* Add_Tool_Button(QToolBar* bar, const QString& name, const QString& hint,
                                    const QIcon& icon, bool checkable = false) {
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setIcon(icon);
    button->setCheckable(checkable);
    button->setAutoRaise(true);
    bar->addWidget(button);
    return button;
}
