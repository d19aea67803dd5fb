#include "present/progress.h"

namespace xsect::cli {

void ProgressBar::Update(std::uint64_t done, std::uint64_t total) {
    if (!enabled_ || total == 0) return;
    const int percent = static_cast<int>(100 * (done < total ? done : total) / total);
    if (percent == shown_) return;
    shown_ = percent;
    const int width = 30, filled = width * percent / 100;
    out_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(width - filled), ' ') << "] " << percent << "% " << what_;
    out_.flush();
}

void ProgressBar::Finish() {
    if (shown_ < 0) return;
    // The last report may fall short of the end: the work is done, so the bar says so.
    out_ << "\r[" << std::string(30, '#') << "] 100% " << what_ << "\n";
    shown_ = -1;
}

}  // namespace xsect::cli
