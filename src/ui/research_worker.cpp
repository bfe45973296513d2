#include "ui/research_worker.h"

namespace kovo::ui {

ResearchWorker::ResearchWorker(sweep::SweepRequest request, backtest::PriceSeries series, QObject* parent)
    : QObject(parent), request_(std::move(request)), series_(std::move(series)) {}

ResearchWorker::~ResearchWorker() {
    Cancel();
    Wait();
}

void ResearchWorker::Start() {
    thread_.reset(QThread::create([this] {
        const sweep::SweepControl control{
            .stop = &stop_,
            // Called by one sweep worker at a time; the signal crosses to the window's thread.
            .unitDone = [this](std::size_t done, std::size_t total) {
                emit unitDone(static_cast<int>(done), static_cast<int>(total));
            },
            .keepPeriods = false};
        result_ = sweep::RunSweep(request_, series_, control);
    }));
    connect(thread_.get(), &QThread::finished, this, &ResearchWorker::finished);
    thread_->start();
}

void ResearchWorker::Wait() {
    if (thread_) thread_->wait();
}

}  // namespace kovo::ui
