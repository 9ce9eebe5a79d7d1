#include "cli/progress.h"

#include <string>
#include <utility>

namespace cli {

ProgressLine::ProgressLine(std::ostream& terminal, std::function<Clock::time_point()> now)
    : terminal_(terminal), now_(std::move(now)) {}

void ProgressLine::Update(std::size_t done, std::size_t count) {
    if (count <= kMinimumCount)
        return;
    const Clock::time_point now = now_();
    if (shown_ && now - last_ < kInterval)
        return;
    last_ = now;
    const std::string text = std::to_string(done + 1) + "/" + std::to_string(count) + " charts";
    terminal_ << '\r' << text;
    if (text.size() < width_)
        terminal_ << std::string(width_ - text.size(), ' ');
    else
        width_ = text.size();
    terminal_.flush();
    shown_ = true;
}

void ProgressLine::Erase() {
    if (!shown_)
        return;
    terminal_ << '\r' << std::string(width_, ' ') << '\r';
    terminal_.flush();
    shown_ = false;
}

}  // namespace cli
