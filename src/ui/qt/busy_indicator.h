#pragma once

#include <QTimer>
#include <QWidget>

namespace regwiz::ui::qt {

// A turning ring of dots while something runs, nothing while idle: the
// window's stand-in for an animation control playing its clip.
class BusyIndicator final : public QWidget {
public:
    explicit BusyIndicator(QWidget* parent = nullptr);

    void SetRunning(bool running);
    bool Running() const { return timer_.isActive(); }

    QSize sizeHint() const override { return {48, 48}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer timer_;
    int step_ = 0;
};

} // namespace regwiz::ui::qt
