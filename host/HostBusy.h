#pragma once
// What 3ds Max is busy with when a handed-over call cannot run, and the call given up for it.
#include <stdexcept>

namespace rud {

// The host's own long operations whose notifications the adapter follows.
enum class HostActivity : int { kSaving = 0, kOpening = 1, kResetting = 2, kRendering = 3 };
constexpr int kNoHostActivity = -1;

// A handed-over call that never ran: the artist cancelled while it was held behind one of the
// host's operations, or the host did not take it within the adapter's limit.
class HostCallAbandoned : public std::runtime_error {
public:
    HostCallAbandoned(bool cancelled, int activity)
        : std::runtime_error(cancelled ? "the call was cancelled while 3ds Max was busy"
                                       : "3ds Max did not take the call in time"),
          cancelled_(cancelled), activity_(activity) {}
    bool Cancelled() const { return cancelled_; }
    // The HostActivity the host seemed busy with, kNoHostActivity when none was under way.
    int Activity() const { return activity_; }

private:
    bool cancelled_;
    int activity_;
};

} // namespace rud
