#include "submit/ArchiverProgress.h"

namespace rud {

bool ArchiverProgressParser::Feed(const char* data, size_t size) {
    bool completed = false;
    for (size_t i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == '\b' || c == '\r' || c == '\n') {
            atStatusStart_ = true;
            inNumber_ = false;
        } else if (c >= '0' && c <= '9' && (atStatusStart_ || inNumber_)) {
            // Four digits already cannot be a percentage; stop counting before it could overflow.
            if (!inNumber_) number_ = 0;
            inNumber_ = true;
            atStatusStart_ = false;
            if (number_ <= 1000) number_ = number_ * 10 + (c - '0');
        } else if (c == '%' && inNumber_) {
            inNumber_ = false;
            if (number_ <= 100) {
                percent_ = number_;
                completed = true;
            }
        } else if (c == ' ' && atStatusStart_) {
            // 7-Zip right-aligns the number in blanks
        } else {
            atStatusStart_ = false;
            inNumber_ = false;
        }
    }
    return completed;
}

} // namespace rud
