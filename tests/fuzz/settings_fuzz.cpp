// Any stored text through every parser of stored values: no crash, no overrun, and what parses
// formats back to text that parses to the same value.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/registryforms.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    std::int32_t number = 12345;
    if (zark::ParseLeadingInt(text, number)) {
        std::int32_t again = 0;
        if (!zark::ParseLeadingInt(zark::FormatInt(number), again) || again != number) std::abort();
    } else if (number != 12345) {
        std::abort();  // a failed parse leaves the field unchanged
    }

    double real = 0.5;
    zark::ParseLeadingReal(text, real);

    zark::Rect rect{1, 2, 3, 4};
    std::string word = "unchanged";
    if (zark::ParseRect(text, rect, &word)) {
        zark::Rect again;
        std::string againWord;
        const std::string formatted = zark::FormatRect(rect, word);
        if (!zark::ParseRect(formatted, again, &againWord) || !(again == rect)) std::abort();
    } else if (!(rect == zark::Rect{1, 2, 3, 4}) || word != "unchanged") {
        std::abort();
    }
    return 0;
}
