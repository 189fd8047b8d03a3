#include "ui/qt/recording_indicator.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "audio/input_level.h"

namespace {

constexpr int kRefreshMilliseconds = 50;
// The meter spans this many decibels below full scale.
constexpr double kMeterRangeDecibels = 60.0;
constexpr int kMeterHeightPixels = 6;

int MeterValue(double peak) {
    if (peak <= 0.0) {
        return 0;
    }
    const double decibels = 20.0 * std::log10(peak);
    return static_cast<int>(std::lround(100.0 * std::clamp(1.0 + decibels / kMeterRangeDecibels, 0.0, 1.0)));
}

}  // namespace

RecordingIndicator::RecordingIndicator(QWidget* parent)
    : QWidget(parent), meter_(new QProgressBar(this)), seconds_(new QLabel(this)) {
    meter_->setRange(0, 100);
    meter_->setTextVisible(false);
    meter_->setFixedHeight(kMeterHeightPixels);
    meter_->setAccessibleName(QStringLiteral("Input level"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(meter_);
    layout->addWidget(seconds_);
    layout->addStretch();
    refreshTimer_.setInterval(kRefreshMilliseconds);
    connect(&refreshTimer_, &QTimer::timeout, this, [this] { Refresh(); });
    hide();
}

void RecordingIndicator::SetRecording(bool recording) {
    if (recording) {
        TakeInputPeak();  // what was noted before this recording
        elapsed_.start();
        Refresh();
        refreshTimer_.start();
        show();
    } else {
        refreshTimer_.stop();
        hide();
    }
}

void RecordingIndicator::Refresh() {
    meter_->setValue(MeterValue(TakeInputPeak()));
    seconds_->setText(QStringLiteral("Recording %1 s").arg(elapsed_.elapsed() / 1000.0, 0, 'f', 1));
}
