// TMonitorForm: the Video Monitor. It shows what the simulated board's eight channel outputs
// put on a monitor: thumbnails of all eight, one of them enlarged at 1:1 or fitted, each
// channel's background source and its loss of sync, and the board's other faults
// (cable unplugged, chip stuck busy, read-back bits flipped). Everything goes through the
// port library; on a real port the window says that it shows the simulated board only.
#pragma once

#include <QImage>
#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QScrollArea;
class QTimer;
class MonitorScreen;
class PictureZoom;
class ZoomedImage;

class TMonitorForm : public QWidget {
    Q_OBJECT
public:
    explicit TMonitorForm(QWidget* parent = nullptr);

    // Fetches the frames of the channels whose output changed and shows them; the frame timer
    // calls it up to 30 times a second while the window is shown. Stops after the first
    // channel that used up the frame's 2 ms, and goes on from the next channel next time.
    void Refresh_Frames();
    // Shows channel n enlarged.
    void Enlarge_Channel(int n);
    // The check boxes as the board's faults are now, and the faults line.
    void Show_Faults();

    const QImage& Frame(int n) const { return frames_[static_cast<std::size_t>(n)]; }
    int Enlarged_Channel() const { return enlarged_; }
    bool Board_Is_Simulated() const { return simulated_; }

    std::array<MonitorScreen*, 8> Thumbnails{};
    std::array<QComboBox*, 8> ComboSource{};
    std::array<QCheckBox*, 8> CheckLossOfSync{};
    QCheckBox* CheckUnplugged = nullptr;
    QCheckBox* CheckStuckBusy = nullptr;
    std::array<QCheckBox*, 8> CheckReadFlip{};
    QLabel* LabelFaults = nullptr;
    QLabel* LabelSimulatedOnly = nullptr;
    QLabel* LabelEnlarged = nullptr;
    QCheckBox* CheckFit = nullptr;
    QScrollArea* ScrollEnlarged = nullptr;
    ZoomedImage* ScreenEnlarged = nullptr;
    PictureZoom* Zoom = nullptr;  // of the enlarged view
    QTimer* FrameTimer = nullptr;
    QScrollArea* ScrollMonitor = nullptr;  // all of the above, scrolled on a small screen

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* Build_Channel_Cell(int n);
    QWidget* Build_Enlarged_View();
    QWidget* Build_Faults_Panel();
    void Show_Source(int n);
    void Source_Chosen(int n, int index);
    void Loss_Of_Sync_Toggled(int n, bool lost);
    void Read_Flips_Toggled();
    void Fit_Toggled(bool fit);
    void Check_Board();
    bool Fetch_Frame(int n);

    std::array<QImage, 8> frames_;
    int enlarged_ = 0;
    int next_channel_ = 0;
    unsigned frame_number_ = 0;
    bool simulated_ = false;
};

// The Video Monitor of the run; empty until first shown.
extern TMonitorForm* MonitorForm;
// Shows the Video Monitor in front, creating it first if needed.
void Show_Monitor_Window();
// Destroys it (at the end of the run).
void Destroy_Monitor_Window();
