// A thumbnail of the Video Monitor: a channel's frame, drawn to the widget's size.
// A click on it asks for it enlarged.
#pragma once

#include <QImage>
#include <QWidget>

class MonitorScreen : public QWidget {
    Q_OBJECT
public:
    explicit MonitorScreen(const QImage* frame, QWidget* parent = nullptr);

signals:
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const QImage* frame_;
};
