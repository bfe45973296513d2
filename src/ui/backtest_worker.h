#pragma once
// A backtest on a worker thread. The window starts it and stays responsive; progress
// reaches the window's progress bar through queued calls, Cancel sets the token, and the
// messages the run says (a refusal, "Not found") are kept for the window to show once
// the run has ended, so that the worker never waits for the window.
#include <QObject>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "backtest/backtest_run.h"
#include "util/run_host.h"

namespace kovo::ui {

class BacktestWorker final : public QObject, public util::RunHost {
    Q_OBJECT

public:
    BacktestWorker(backtest::BacktestParams params, backtest::PriceSeries series, QObject* parent = nullptr);
    // Asks the run to stop and waits for its thread.
    ~BacktestWorker() override;

    void Start();
    bool Running() const { return thread_ && !thread_->isFinished(); }
    // Blocks until the thread has ended (the window's destructor and tests).
    void Wait();

    // Once finished(): the run's result and the messages it said, in order.
    backtest::BacktestResult TakeResult() { return std::move(result_); }
    std::vector<util::Message> TakeMessages();

    // ---- util::RunHost, called on the worker thread ----
    // Questions get Yes: the only one, "Stop?", follows the Cancel button.
    util::Answer ShowMessage(const util::Message& message) override;
    void Progress(double fraction, std::int32_t day) override;
    util::ReportSink& Report() override { return discard_; }
    util::CancelToken& Cancel() override { return cancel_; }

signals:
    // Thousandths of the run done; queued to the window's thread.
    void progressed(int permille);
    void finished();

private:
    backtest::BacktestParams params_;
    backtest::PriceSeries series_;
    backtest::BacktestResult result_;
    std::unique_ptr<QThread> thread_;
    util::CancelToken cancel_;
    util::DiscardingSink discard_;
    std::mutex messagesMutex_;
    std::vector<util::Message> messages_;
    std::atomic<int> lastPermille_{-1};
};

}  // namespace kovo::ui
