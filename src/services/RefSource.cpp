#include "services/RefSource.h"

#include <array>
#include <utility>

QString RefSource::shortLabel() const
{
    // Tested in this order; the first prefix that fits names the label.
    static const std::array<std::pair<QLatin1String, QLatin1String>, 6> labels{{
        {QLatin1String("Colorado State"), QLatin1String("Colorado State")},
        {QLatin1String("Purdue"), QLatin1String("Purdue")},
        {QLatin1String("University of Georgia"), QLatin1String("UGA")},
        {QLatin1String("Texas A&M"), QLatin1String("Texas A&M")},
        {QLatin1String("Utah State"), QLatin1String("Utah State")},
        {QLatin1String("UMass"), QLatin1String("UMass")},
    }};
    for (const auto& [prefix, label] : labels) {
        if (publisher.startsWith(prefix))
            return label;
    }
    return publisher;
}
