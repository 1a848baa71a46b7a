// The Video Monitor.
#include "ui/monitor/monitor_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <string>

#include "shell/clock.h"
#include "shell/dialogs.h"
#include "shell/message_text.h"
#include "ui/monitor/monitor_screen.h"
#include "ui/widgets/picture_zoom.h"
#include "ui/widgets/window_navigation.h"
#include "ui/widgets/window_places.h"
#include "ui/widgets/zoomed_image.h"
#include "vanlpt/vanlpt.h"

TMonitorForm* MonitorForm = nullptr;

namespace {

constexpr const char* Monitor_Caption = "Video Monitor";
constexpr int Channels = 8;
constexpr int Frame_Interval_ms = 33;  // up to 30 frames a second
constexpr std::uint32_t Frame_Budget_ms = 2;
constexpr int Thumbnail_Width = VANLPT_FRAME_WIDTH / 4;
constexpr int Thumbnail_Height = VANLPT_FRAME_HEIGHT / 4;

// The source list, in the order of the library's source numbers.
constexpr std::array<const char*, 5> Source_Names = {"Colour bars", "Grey ramp", "Black",
                                                     "Moving pattern", "Picture file..."};
constexpr int Picture_Source_Index = VANLPT_VIDEO_PICTURE;

// The board's faults as the library has them; all off when there is no simulated board.
struct Faults {
    unsigned lost_sync = 0;  // channel mask
    unsigned unplugged = 0;
    unsigned stuck_busy = 0;
    unsigned read_flips = 0;  // data-line mask
};

Faults Read_Faults() {
    Faults faults;
    Vanlpt_Simulated_Fault(VANLPT_FAULT_LOSS_OF_SYNC, &faults.lost_sync);
    Vanlpt_Simulated_Fault(VANLPT_FAULT_UNPLUGGED, &faults.unplugged);
    Vanlpt_Simulated_Fault(VANLPT_FAULT_STUCK_BUSY, &faults.stuck_busy);
    Vanlpt_Simulated_Fault(VANLPT_FAULT_READ_FLIPS, &faults.read_flips);
    return faults;
}

std::string Bit_List(unsigned mask, const char* prefix) {
    std::string list;
    for (int bit = 0; bit < Channels; ++bit) {
        if (!(mask >> bit & 1)) continue;
        if (!list.empty()) list += ", ";
        list += prefix + std::to_string(bit);
    }
    return list;
}

// "Faults on: none", or each fault that is on, as the window's faults line shows them.
std::string Faults_Text(const Faults& faults) {
    std::string text;
    const auto add = [&text](const std::string& fault) {
        text += (text.empty() ? "" : "; ") + fault;
    };
    if (faults.lost_sync) add("loss of sync on " + Bit_List(faults.lost_sync, "channel "));
    if (faults.unplugged) add("cable unplugged");
    if (faults.stuck_busy) add("chip stuck busy");
    if (faults.read_flips) add("read-back bits flipped on " + Bit_List(faults.read_flips, "D"));
    return "Faults on: " + (text.empty() ? std::string("none") : text);
}

// A picture file as the library takes a still source; a null image when it cannot be read.
QImage Load_Source_Picture(const std::string& path) {
    QImage picture(QString::fromStdString(path));
    if (picture.isNull()) return picture;
    return picture.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

TMonitorForm::TMonitorForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("MonitorForm");
    setWindowTitle(Monitor_Caption);
    for (QImage& frame : frames_) {
        frame = QImage(VANLPT_FRAME_WIDTH, VANLPT_FRAME_HEIGHT, QImage::Format_RGB32);
        frame.fill(Qt::black);
    }

    LabelSimulatedOnly = new QLabel;
    LabelSimulatedOnly->setObjectName("LabelSimulatedOnly");
    LabelSimulatedOnly->setWordWrap(true);
    LabelSimulatedOnly->hide();

    auto* grid = new QGridLayout;
    for (int n = 0; n < Channels; ++n) grid->addWidget(Build_Channel_Cell(n), n / 2, n % 2);

    auto* screens = new QHBoxLayout;
    screens->addLayout(grid);
    screens->addWidget(Build_Enlarged_View(), 1);

    // Everything scrolls, so that the window fits a small screen with its switches in reach.
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->addWidget(LabelSimulatedOnly);
    layout->addLayout(screens, 1);
    layout->addWidget(Build_Faults_Panel());
    ScrollMonitor = new QScrollArea;
    ScrollMonitor->setObjectName("ScrollMonitor");
    ScrollMonitor->setFrameShape(QFrame::NoFrame);
    ScrollMonitor->setWidgetResizable(true);
    ScrollMonitor->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(ScrollMonitor);

    FrameTimer = new QTimer(this);
    FrameTimer->setObjectName("FrameTimer");
    FrameTimer->setInterval(Frame_Interval_ms);
    connect(FrameTimer, &QTimer::timeout, this, &TMonitorForm::Refresh_Frames);
    Enlarge_Channel(0);
    Check_Board();
}

QWidget* TMonitorForm::Build_Channel_Cell(int n) {
    auto* cell = new QWidget;
    auto* screen = new MonitorScreen(&frames_[static_cast<std::size_t>(n)]);
    screen->setObjectName(QString("Thumbnail%1").arg(n));
    screen->setFixedSize(Thumbnail_Width, Thumbnail_Height);
    screen->setToolTip(QString("Channel %1: click to enlarge").arg(n));
    connect(screen, &MonitorScreen::Clicked, this, [this, n] { Enlarge_Channel(n); });
    Thumbnails[static_cast<std::size_t>(n)] = screen;

    auto* source = new QComboBox;
    source->setObjectName(QString("ComboSource%1").arg(n));
    for (const char* name : Source_Names) source->addItem(name);
    connect(source, &QComboBox::activated, this, [this, n](int index) { Source_Chosen(n, index); });
    ComboSource[static_cast<std::size_t>(n)] = source;

    auto* lost = new QCheckBox("Loss of sync");
    lost->setObjectName(QString("CheckLossOfSync%1").arg(n));
    connect(lost, &QCheckBox::clicked, this, [this, n](bool on) { Loss_Of_Sync_Toggled(n, on); });
    CheckLossOfSync[static_cast<std::size_t>(n)] = lost;

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QString("Channel %1").arg(n)));
    controls->addWidget(source, 1);
    auto* layout = new QVBoxLayout(cell);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(screen);
    layout->addLayout(controls);
    layout->addWidget(lost);
    return cell;
}

QWidget* TMonitorForm::Build_Enlarged_View() {
    auto* view = new QWidget;
    LabelEnlarged = new QLabel;
    LabelEnlarged->setObjectName("LabelEnlarged");
    CheckFit = new QCheckBox("Fit to window");
    CheckFit->setObjectName("CheckFit");
    connect(CheckFit, &QCheckBox::toggled, this, &TMonitorForm::Fit_Toggled);

    ScreenEnlarged = new ZoomedImage(&frames_[0]);
    ScreenEnlarged->setObjectName("ScreenEnlarged");
    ScrollEnlarged = new QScrollArea;
    ScrollEnlarged->setObjectName("ScrollEnlarged");
    ScrollEnlarged->setBackgroundRole(QPalette::Dark);
    ScrollEnlarged->setWidget(ScreenEnlarged);
    ScrollEnlarged->setAlignment(Qt::AlignCenter);
    ScrollEnlarged->setMinimumSize(Thumbnail_Width * 2, Thumbnail_Height * 2);
    Zoom = new PictureZoom(ScreenEnlarged, ScrollEnlarged, this);
    // The box is the list's Fit, ticked exactly while the view fits.
    connect(Zoom, &PictureZoom::Zoom_Changed, this, [this](int zoom) {
        const QSignalBlocker quiet(CheckFit);
        CheckFit->setChecked(zoom == PictureZoom::Fit);
    });

    auto* title = new QHBoxLayout;
    title->addWidget(LabelEnlarged, 1);
    title->addWidget(Zoom->Make_Selector(view));
    title->addWidget(CheckFit);
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(title);
    layout->addWidget(ScrollEnlarged, 1);
    return view;
}

QWidget* TMonitorForm::Build_Faults_Panel() {
    auto* panel = new QGroupBox("Faults of the simulated board (cleared when the program ends)");
    panel->setObjectName("GroupFaults");
    CheckUnplugged = new QCheckBox("Cable unplugged");
    CheckUnplugged->setObjectName("CheckUnplugged");
    connect(CheckUnplugged, &QCheckBox::clicked, this, [this](bool on) {
        Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_UNPLUGGED, on ? 1 : 0);
        Show_Faults();
    });
    CheckStuckBusy = new QCheckBox("Chip stuck busy");
    CheckStuckBusy->setObjectName("CheckStuckBusy");
    connect(CheckStuckBusy, &QCheckBox::clicked, this, [this](bool on) {
        Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_STUCK_BUSY, on ? 1 : 0);
        Show_Faults();
    });

    auto* row = new QHBoxLayout;
    row->addWidget(CheckUnplugged);
    row->addWidget(CheckStuckBusy);
    row->addSpacing(12);
    row->addWidget(new QLabel("Read-back bits flipped:"));
    for (int bit = 0; bit < Channels; ++bit) {
        auto* flip = new QCheckBox(QString("D%1").arg(bit));
        flip->setObjectName(QString("CheckReadFlip%1").arg(bit));
        connect(flip, &QCheckBox::clicked, this, &TMonitorForm::Read_Flips_Toggled);
        CheckReadFlip[static_cast<std::size_t>(bit)] = flip;
        row->addWidget(flip);
    }
    row->addStretch(1);

    LabelFaults = new QLabel;
    LabelFaults->setObjectName("LabelFaults");
    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(row);
    layout->addWidget(LabelFaults);
    return panel;
}

void TMonitorForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Check_Board();
    Show_Faults();
    Refresh_Frames();
    FrameTimer->start();
}

void TMonitorForm::hideEvent(QHideEvent* event) {
    FrameTimer->stop();
    QWidget::hideEvent(event);
}

void TMonitorForm::Check_Board() {
    simulated_ = Vanlpt_Video_Source(0) >= 0;
    LabelSimulatedOnly->setVisible(!simulated_);
    if (!simulated_) {
        LabelSimulatedOnly->setText(
            QString("The monitor shows the simulated board only; %1, so there is nothing to "
                    "show here. Watch the board's own video outputs on a monitor.")
                .arg(QString::fromUtf8(Vanlpt_Port_Description(1))));
    }
    for (int n = 0; n < Channels; ++n) {
        Show_Source(n);
        ComboSource[static_cast<std::size_t>(n)]->setEnabled(simulated_);
        CheckLossOfSync[static_cast<std::size_t>(n)]->setEnabled(simulated_);
    }
    for (QCheckBox* box : CheckReadFlip) box->setEnabled(simulated_);
    CheckUnplugged->setEnabled(simulated_);
    CheckStuckBusy->setEnabled(simulated_);
}

void TMonitorForm::Show_Faults() {
    const Faults faults = Read_Faults();
    for (int n = 0; n < Channels; ++n) {
        CheckLossOfSync[static_cast<std::size_t>(n)]->setChecked(faults.lost_sync >> n & 1);
        CheckReadFlip[static_cast<std::size_t>(n)]->setChecked(faults.read_flips >> n & 1);
    }
    CheckUnplugged->setChecked(faults.unplugged != 0);
    CheckStuckBusy->setChecked(faults.stuck_busy != 0);
    LabelFaults->setText(QString::fromStdString(Faults_Text(faults)));
}

bool TMonitorForm::Fetch_Frame(int n) {
    QImage& frame = frames_[static_cast<std::size_t>(n)];
    int changed = 0;
    // Format_RGB32 lies in memory as 0xFFRRGGBB words, the library's frame format.
    auto* pixels = reinterpret_cast<std::uint32_t*>(frame.bits());
    if (!Vanlpt_Channel_Frame(n, frame_number_, pixels, &changed)) return false;
    if (!changed) return true;
    Thumbnails[static_cast<std::size_t>(n)]->update();
    if (n == enlarged_) ScreenEnlarged->update();
    return true;
}

void TMonitorForm::Refresh_Frames() {
    ++frame_number_;
    const std::uint32_t start = Clock_Milliseconds();
    for (int i = 0; i < Channels; ++i) {
        const int n = next_channel_;
        next_channel_ = (next_channel_ + 1) % Channels;
        if (!Fetch_Frame(n)) {
            if (simulated_) Check_Board();
            return;
        }
        // The event loop must not stall: the rest waits for the next frame.
        if (Clock_Milliseconds() - start >= Frame_Budget_ms) return;
    }
}

void TMonitorForm::Enlarge_Channel(int n) {
    enlarged_ = n;
    ScreenEnlarged->Show_Image(&frames_[static_cast<std::size_t>(n)]);
    LabelEnlarged->setText(QString("Channel %1").arg(n));
}

void TMonitorForm::Fit_Toggled(bool fit) {
    Zoom->Set_Zoom(fit ? PictureZoom::Fit : 1);
}

void TMonitorForm::Show_Source(int n) {
    // The library keeps each channel's source; without a board the list shows the first.
    ComboSource[static_cast<std::size_t>(n)]->setCurrentIndex(std::max(0, Vanlpt_Video_Source(n)));
}

void TMonitorForm::Source_Chosen(int n, int index) {
    if (index == Picture_Source_Index) {
        FileDialogRequest request;
        request.title = "Open";
        request.filter = "Pictures|*.bmp;*.png;*.jpg;*.jpeg|All files|*.*";
        request.hide_read_only = true;
        if (const std::optional<std::string> path = Current_Dialogs().Open_File(request)) {
            const QImage picture = Load_Source_Picture(*path);
            if (picture.isNull()) {
                Show_Message(Monitor_Caption,
                             "Cannot read " + Quoted_Token(*path) + " as a picture.",
                             MsgIcon::Stop);
            } else {
                Vanlpt_Set_Video_Source(n, VANLPT_VIDEO_PICTURE,
                                        reinterpret_cast<const std::uint32_t*>(picture.bits()),
                                        picture.width(), picture.height());
            }
        }
    } else {
        Vanlpt_Set_Video_Source(n, index, nullptr, 0, 0);
    }
    Show_Source(n);  // the new source, or the old one when it was not taken
    Refresh_Frames();
}

void TMonitorForm::Loss_Of_Sync_Toggled(int n, bool lost) {
    const unsigned mask = Read_Faults().lost_sync;
    Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_LOSS_OF_SYNC,
                               lost ? mask | 1u << n : mask & ~(1u << n));
    Show_Faults();
}

void TMonitorForm::Read_Flips_Toggled() {
    unsigned mask = 0;
    for (int bit = 0; bit < Channels; ++bit)
        if (CheckReadFlip[static_cast<std::size_t>(bit)]->isChecked()) mask |= 1u << bit;
    Vanlpt_Set_Simulated_Fault(VANLPT_FAULT_READ_FLIPS, mask);
    Show_Faults();
}

void Show_Monitor_Window() {
    if (!MonitorForm) {
        MonitorForm = new TMonitorForm();
        Fit_Within_Screen(*MonitorForm);
    }
    Restore_And_Show(MonitorForm);
}

void Destroy_Monitor_Window() {
    delete MonitorForm;
    MonitorForm = nullptr;
}
