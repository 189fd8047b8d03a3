#pragma once
// Shows that the microphone is live: a thin input-level meter and the
// seconds recorded, refreshed about 20 times a second while a recording
// runs. The level is the peak of the samples captured since the last
// refresh, on a decibel scale.

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QLabel;
class QProgressBar;

class RecordingIndicator : public QWidget {
public:
    explicit RecordingIndicator(QWidget* parent);

    // Shows the indicator from zero seconds, or hides it.
    void SetRecording(bool recording);

private:
    void Refresh();

    QProgressBar* meter_;
    QLabel* seconds_;
    QTimer refreshTimer_;
    QElapsedTimer elapsed_;
};
