#pragma once
// A research sweep on a worker thread. RunSweep spreads the units over its own threads
// (request.jobs); this thread only keeps the window's thread free. Each finished unit
// reaches the window through a queued signal, and Cancel sets the flag the sweep's
// workers read between steps.
#include <QObject>
#include <QThread>
#include <atomic>
#include <memory>

#include "backtest/price_series.h"
#include "sweep/sweep_run.h"

namespace kovo::ui {

class ResearchWorker final : public QObject {
    Q_OBJECT

public:
    ResearchWorker(sweep::SweepRequest request, backtest::PriceSeries series, QObject* parent = nullptr);
    // Stops the sweep and waits for its thread.
    ~ResearchWorker() override;
    ResearchWorker(const ResearchWorker&) = delete;
    ResearchWorker& operator=(const ResearchWorker&) = delete;

    void Start();
    void Cancel() { stop_.store(true); }
    // Blocks until the thread has ended.
    void Wait();
    // Once finished(): the sweep's result (Stopped after a Cancel).
    sweep::SweepResult TakeResult() { return std::move(result_); }

signals:
    // Units done of units in all; queued to the window's thread.
    void unitDone(int done, int total);
    void finished();

private:
    sweep::SweepRequest request_;
    backtest::PriceSeries series_;
    sweep::SweepResult result_;
    std::atomic<bool> stop_{false};
    std::unique_ptr<QThread> thread_;
};

}  // namespace kovo::ui
