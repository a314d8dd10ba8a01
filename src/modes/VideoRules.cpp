#include "modes/VideoRules.h"

#include "records/OVDay.h"
#include "records/OVInfo.h"
#include "services/ReferenceLibrary.h"

#include <QSet>
#include <algorithm>
#include <array>

namespace {

// Channels a video may come from (matched as case-sensitive substrings). The
// shipped data names no individual specialist's channel, so none stands here.
const std::array<QLatin1String, 13> kApprovedChannels{
    QLatin1String("Extension"),         QLatin1String("IFAS"),
    QLatin1String("e-GRO"),             QLatin1String("University"),
    QLatin1String("Bootstrap Farmer"),  QLatin1String("OklahomaGardening"),
    QLatin1String("OKGardeningClassics"), QLatin1String("Practical Farmers"),
    QLatin1String("ACES"),              QLatin1String("UIExtension"),
    QLatin1String("Growing Spaces"),    QLatin1String("VAEnergyWebinars"),
    QLatin1String("The Greenhouse Channel"),
};

const std::array<QLatin1String, 6> kUniversityMarkers{
    QLatin1String("Extension"), QLatin1String("IFAS"), QLatin1String("University"),
    QLatin1String("e-GRO"),     QLatin1String("ACES"), QLatin1String("UIExtension"),
};

template <size_t N>
bool containsAny(const QString& text, const std::array<QLatin1String, N>& entries)
{
    return std::any_of(entries.begin(), entries.end(),
                       [&text](QLatin1String entry) { return text.contains(entry); });
}

} // namespace

VideoRules::Findings VideoRules::check(const QList<GrowVideo>& videos)
{
    const QString watchPrefix = QStringLiteral("https://") + ReferenceLibrary::videoHost + QStringLiteral("/watch?v=");
    Findings found;
    found.videos = videos.size();
    QSet<QString> ids;
    for (const GrowVideo& v : videos) {
        found.wellFormed = found.wellFormed && !v.id.isEmpty() && !v.title.trimmed().isEmpty() &&
                           v.url.toString(QUrl::FullyEncoded) == watchPrefix + v.id &&
                           OVDay::fromIso(v.published).has_value() && !v.channel.isEmpty() &&
                           v.checked == OVInfo::dataCheckedISO;
        found.approved = found.approved && containsAny(v.channel, kApprovedChannels);
        if (containsAny(v.channel, kUniversityMarkers))
            ++found.university;
        ids.insert(v.id);
    }
    found.noDuplicates = ids.size() == videos.size();
    return found;
}

QStringList VideoRules::labels(const Findings& found)
{
    const QString checked = found.videos == 0 ? QStringLiteral(" (no videos shipped)")
                                              : QStringLiteral(" (%1 checked)").arg(found.videos);
    const qsizetype wanted = std::min(universityVideosWanted, found.videos);
    return {
        QStringLiteral("every video: ") + ReferenceLibrary::videoSiteName +
            QStringLiteral(" link, title, channel, publish date and date checked") + checked,
        QStringLiteral("no duplicate videos") + checked,
        QStringLiteral("every video is from an extension service, university program or established grower "
                       "on the approved list") + checked,
        found.videos == 0
            ? QStringLiteral("videos from university extension programs (no videos shipped)")
            : QStringLiteral("videos from university extension programs: %1 of %2 (at least %3 wanted)")
                  .arg(found.university)
                  .arg(found.videos)
                  .arg(wanted),
    };
}
