#pragma once
// One publication that the crop library's figures come from, keyed by the short
// source key that crops cite. A loaded source always has an https address and a
// `checked` day that OVDay::fromIso accepts, kept exactly as the file wrote it.

#include <QString>
#include <QUrl>

struct RefSource {
    QString id;        // the source key
    QString publisher; // empty when the file has no such column
    QString title;
    QUrl url;
    QString checked;   // the day the page was last looked at, as written

    // A short label of the publisher for tight places ("UGA", "Texas A&M", ...);
    // the publisher itself when no known prefix fits.
    QString shortLabel() const;

    friend bool operator==(const RefSource&, const RefSource&) = default;
};
