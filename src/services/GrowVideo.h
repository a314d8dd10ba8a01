#pragma once
// One grow video of the video library: a page on the video site that the
// desktop's browser shows; nothing is downloaded. A loaded video always has an id,
// a title, a channel, an address on the video site's host and a `published` day
// that OVDay::fromIso accepts (kept as written).

#include <QString>
#include <QUrl>
#include <optional>

struct GrowVideo {
    QString id;
    QString title;
    QString channel;
    std::optional<QUrl> channelURL; // nothing when absent or not an address
    QString published;
    qint64 seconds = 0;             // running time; 0 when unknown
    QString topic;                  // "Other" when the file has no topic column
    QUrl url;                       // the watch page
    QString checked;                // as written, empty when absent

    // "m:ss" below an hour, "h:mm:ss" from an hour up.
    QString lengthText() const;

    friend bool operator==(const GrowVideo&, const GrowVideo&) = default;
};
