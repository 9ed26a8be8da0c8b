#include "foundation/containers/Date.h"

#include <cstdio>
#include <ctime>

#include "foundation/lang/L.h"
#include "foundation/lang/System.h"
#include "foundation/lang/Throwable.h"

namespace torvik_util {

namespace {

constexpr char const* BAD_DATE = "{Invalid date} de{Ung\xFCltiges Datum}";

}  // namespace

_Date::_Date() : time(torvik_lang::System::currentTimeMillis()) {}

_Ref<_String> _Date::toLocalString() {
    static char const* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static char const* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    // The asctime layout, written here into a bounded buffer: asctime itself overflows
    // its static buffer for years beyond 9999, and localtime gives null for times it
    // cannot convert.
    std::time_t seconds = static_cast<std::time_t>(time / 1000);
    std::tm* t = std::localtime(&seconds);
    if (!t || t->tm_wday < 0 || t->tm_wday > 6 || t->tm_mon < 0 || t->tm_mon > 11) {
        throw torvik_lang::Throwable(torvik_lang::L::getString(BAD_DATE));
    }
    char text[80];
    std::snprintf(text, sizeof text, "%.3s %.3s%3d %.2d:%.2d:%.2d %lld\n", days[t->tm_wday],
                  months[t->tm_mon], t->tm_mday, t->tm_hour, t->tm_min, t->tm_sec,
                  static_cast<long long>(t->tm_year) + 1900);
    return torvik_lang::_S(text);
}

}  // namespace torvik_util
