// TXelorForm (module Unit1): the crosspoint switch window. For now the frame only: its
// caption, size and place; the routing controls and the switch's commands come with the
// crosspoint work.
#pragma once

#include <QMainWindow>

class TXelorForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TXelorForm(QWidget* parent = nullptr);
};
