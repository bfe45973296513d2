#include "ui/backtest_worker.h"

#include <algorithm>
#include <cmath>

namespace kovo::ui {

BacktestWorker::BacktestWorker(backtest::BacktestParams params, backtest::PriceSeries series, QObject* parent)
    : QObject(parent), params_(std::move(params)), series_(std::move(series)) {}

BacktestWorker::~BacktestWorker() {
    cancel_.Request();
    Wait();
}

void BacktestWorker::Start() {
    thread_.reset(QThread::create([this] { result_ = backtest::RunBacktest(params_, series_, *this); }));
    // Emitted from the ended thread; the window hears it on its own thread.
    connect(thread_.get(), &QThread::finished, this, &BacktestWorker::finished);
    thread_->start();
}

void BacktestWorker::Wait() {
    if (thread_) thread_->wait();
}

std::vector<util::Message> BacktestWorker::TakeMessages() {
    const std::lock_guard lock(messagesMutex_);
    return std::exchange(messages_, {});
}

util::Answer BacktestWorker::ShowMessage(const util::Message& message) {
    if (message.buttons != util::MessageButtons::Ok) return util::Answer::Yes;
    const std::lock_guard lock(messagesMutex_);
    messages_.push_back(message);
    return util::Answer::Ok;
}

void BacktestWorker::Progress(double fraction, std::int32_t) {
    const int permille = static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * 1000));
    // One queued call per visible change, not one per scan step.
    if (lastPermille_.exchange(permille) != permille) emit progressed(permille);
}

}  // namespace kovo::ui
