#pragma once

namespace rud {

// The system's non-copyable base.
class kiv_Noncopyable {
protected:
    kiv_Noncopyable() = default;
    ~kiv_Noncopyable() = default;
public:
    kiv_Noncopyable(const kiv_Noncopyable&) = delete;
    kiv_Noncopyable& operator=(const kiv_Noncopyable&) = delete;
};

} // namespace rud
