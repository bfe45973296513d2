#include "report/headless_host.h"

#include <algorithm>

#include "util/utf8.h"

namespace kovo::report {

std::size_t HeadlessHost::TextSink::Length() const { return util::CharCount(text); }

util::Answer HeadlessHost::ShowMessage(const util::Message& message) {
    ClearProgress();
    if (message.buttons != util::MessageButtons::Ok) return util::Answer::Yes;
    std::string text = message.text;
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    errors_ << text << "\n";
    return util::Answer::Ok;
}

void HeadlessHost::Progress(double fraction, std::int32_t) {
    if (!showProgress_) return;
    if (std::chrono::steady_clock::now() - started_ < std::chrono::seconds(1)) return;
    const int percent = std::clamp(static_cast<int>(fraction * 100), 0, 100);
    if (percent == lastPercent_) return;
    lastPercent_ = percent;
    const int filled = percent * 40 / 100;
    errors_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
            << std::string(static_cast<std::size_t>(40 - filled), ' ') << "] " << percent << "%" << std::flush;
    progressShown_ = true;
}

void HeadlessHost::ClearProgress() {
    if (!progressShown_) return;
    errors_ << "\r" << std::string(48, ' ') << "\r" << std::flush;
    progressShown_ = false;
    lastPercent_ = -1;
}

}  // namespace kovo::report
