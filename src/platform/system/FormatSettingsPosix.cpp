#include "FormatSettings.h"

#include <langinfo.h>
#include <locale.h>

namespace tarvo
{

FormatSettings FormatSettings::FromUserLocale()
{
    FormatSettings settings;
    // A locale object of our own: setlocale would change the numbers of every thread, and Qt
    // calls it later anyway. "" means what LC_ALL / LC_NUMERIC / LANG ask for.
    const locale_t userLocale = newlocale(LC_NUMERIC_MASK, "", locale_t {});
    if (userLocale == locale_t {}) {
        return settings; // the environment names a locale that is not installed
    }
    if (const char* radix = nl_langinfo_l(RADIXCHAR, userLocale); radix != nullptr && *radix != '\0') {
        settings.decimalSeparator = radix;
    }
    // Many locales (C among them) group digits with nothing at all; that is kept as it is.
    if (const char* grouping = nl_langinfo_l(THOUSEP, userLocale); grouping != nullptr) {
        settings.thousandSeparator = grouping;
    }
    freelocale(userLocale);
    return settings;
}

} // namespace tarvo
