// libFuzzer target: any bytes as a settings file. Reading never fails; writing one value
// and reading the written file back gives that value and every other value the file
// held as before, so a write never loses what was stored.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/linux/IniDocument.h"

using glimsel_linux::IniDocument;

namespace {

const char* const kSections[] = {"", "Config", "config", "Other"};
const char* const kNames[] = {"Path", "Speed", "flashSleep", "ActivePage", "x"};

struct Snapshot {
    bool present[4][5] = {};
    std::string value[4][5];

    explicit Snapshot(const IniDocument& doc) {
        for (int s = 0; s < 4; ++s) {
            for (int n = 0; n < 5; ++n) {
                const std::string* v = doc.find(kSections[s], kNames[n]);
                present[s][n] = v != nullptr;
                if (v) value[s][n] = *v;
            }
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    IniDocument doc = IniDocument::parse(text);
    const Snapshot before(doc);

    // The value written: the first bytes of the input, without NULs (the store's callers
    // hand over C strings). The section and name it goes to come from the input's size.
    std::string value = text.substr(0, 64);
    value.erase(std::remove(value.begin(), value.end(), '\0'), value.end());
    const int section = static_cast<int>(size % 2) + 1;  // "Config" or "config": the same section
    const int name = static_cast<int>(size / 2 % 5);
    const bool erase = size % 7 == 3;
    if (erase) {
        doc.erase(kSections[section], kNames[name]);
    } else {
        doc.set(kSections[section], kNames[name], value);
    }
    if (IniDocument::unescape(IniDocument::escape(value)) != value) std::abort();

    const IniDocument again = IniDocument::parse(doc.serialize());
    const Snapshot after(again);
    for (int s = 0; s < 4; ++s) {
        for (int n = 0; n < 5; ++n) {
            const bool written = (s == 1 || s == 2) && n == name;
            if (written) {
                if (erase ? after.present[s][n] : !after.present[s][n] || after.value[s][n] != value) std::abort();
            } else if (after.present[s][n] != before.present[s][n] || after.value[s][n] != before.value[s][n]) {
                std::abort();
            }
        }
    }
    return 0;
}
