// What a decoder makes of some input, as one string to compare.
#pragma once

#include <functional>
#include <string>

#include "imaging/ImageInfo.h"

namespace testkit {

// The message of the ImageException that `load` throws, or "loaded".
inline std::string outcome(const std::function<void()>& load) {
    try {
        load();
    } catch (img_lib::ImageException& e) {
        return e.messageText();
    }
    return "loaded";
}

}  // namespace testkit
