// A progress line on a terminal for long batches, rewritten in place.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <ostream>

namespace cli {

class ProgressLine {
  public:
    using Clock = std::chrono::steady_clock;

    // Batches of this many entries or fewer finish too quickly to need a progress line.
    static constexpr std::size_t kMinimumCount = 200;
    // The line is rewritten at most this often, so a fast walk is not slowed by the terminal.
    static constexpr std::chrono::milliseconds kInterval{250};

    explicit ProgressLine(std::ostream& terminal,
                          std::function<Clock::time_point()> now = &Clock::now);

    // Entry done (0-based) of count; shows "done/count" when the interval has passed.
    void Update(std::size_t done, std::size_t count);

    // Removes the line, leaving the cursor where the line began.
    void Erase();

  private:
    std::ostream& terminal_;
    std::function<Clock::time_point()> now_;
    Clock::time_point last_{};
    bool shown_ = false;
    std::size_t width_ = 0;
};

}  // namespace cli
