#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

namespace bench {

// The longest pause between the ticks of a 10 ms timer: how long the event loop was held.
class TStallMeter {
 public:
  TStallMeter() {
    timer_.setInterval(10);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
    clock_.start();
    timer_.start();
  }
  qint64 LongestGapMs() {
    Tick();
    return longest_;
  }
  void Reset() {
    Tick();
    longest_ = 0;
  }

 private:
  void Tick() {
    const qint64 now = clock_.elapsed();
    longest_ = std::max(longest_, now - last_);
    last_ = now;
  }
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ = 0;
  qint64 longest_ = 0;
};

}  // namespace bench
