// The time field conversion under varied regional settings, and the decoding of its
// result into the hour, minute and second that the plot gate compares.
#include <array>
#include <cmath>

#include "import/date_time_text.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/fuzz_targets.h"

namespace zp::fuzz {

int timeFieldTarget(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    static const std::array<const char*, 5> timeSeparators = {":", ".", "h", "::", "\xE6\x99\x82"};
    static const std::array<const char*, 4> dateSeparators = {"/", "-", ".", " "};
    static const std::array<const char*, 3> decimalSeparators = {".", ",", ":"};
    static const std::array<std::array<const char*, 2>, 3> designators = {
        {{"AM", "PM"}, {"vorm.", "nachm."}, {"", ""}}};

    const std::uint8_t a = in.byte();
    const std::uint8_t b = in.byte();
    DateTimeLocale locale;
    locale.dateOrder = static_cast<DateTimeLocale::DateOrder>(a % 3);
    locale.timeSeparator = timeSeparators[(a / 3) % timeSeparators.size()];
    locale.dateSeparator = dateSeparators[(a / 15) % dateSeparators.size()];
    locale.decimalSeparator = decimalSeparators[b % decimalSeparators.size()];
    locale.amText = designators[(b / 3) % designators.size()][0];
    locale.pmText = designators[(b / 3) % designators.size()][1];
    locale.currentYear = 1900 + (b / 9) * 7;
    locale.twoDigitYearWindow = b % 100;

    const std::string_view text = in.rest();
    double result = 0.0;
    if (!textToDateTime(text, locale, result)) {
        (void)invalidDateTimeMessage(QString::fromUtf8(text.data(), qsizetype(text.size())));
        return 0;
    }
    require(std::isfinite(result), "a converted time is finite");
    const TimeOfDay t = decodeTime(result);
    require(t.hour <= 23 && t.minute <= 59 && t.second <= 59 && t.millisecond <= 999,
            "a decoded time is a time of day");
    return 0;
}

}  // namespace zp::fuzz
