#pragma once
// The read-only body of growing facts: reference crops, the publications their
// figures come from, and grow videos, read from three CSV files in the data folder
// ("reference-sources.csv", "reference-crops.csv", "videos.csv").
//
// Invariants:
// - Loading never throws and never stops at a bad row: each rejected row adds one
//   problem text to its file's report; a missing or unreadable file (or one that is
//   not UTF-8) gives the single problem "file missing" and leaves its entries empty.
// - Every loaded crop has an id and a name and cites only sources that loaded;
//   every loaded source has an https address and a valid `checked` day; every
//   loaded video is on the video site's host and has an id, title, channel and a
//   valid `published` day.
// - `crops` is ordered by lower-cased name (Unicode code points, stable); nothing
//   changes after construction, so readers need no lock.

#include "services/DataLoadReport.h"
#include "services/GrowVideo.h"
#include "services/RefCrop.h"
#include "services/RefSource.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

class ReferenceLibrary {
public:
    static inline const QString sourcesFile = QStringLiteral("reference-sources.csv");
    static inline const QString cropsFile = QStringLiteral("reference-crops.csv");
    static inline const QString videosFile = QStringLiteral("videos.csv");

    // The host every video address must name, and the site's name for people.
    static inline const QString videoHost = QStringLiteral("www.youtube.com");
    static inline const QString videoSiteName = QStringLiteral("YouTube");

    // The library of the process, loaded from folder() on first use.
    static const ReferenceLibrary& shared();

    // OV_DATA_DIR when set and not empty (a relative path counts from the working
    // directory); else the "data" folder next to the executable; else
    // ../share/orvane/data beside the executable's folder (an installation, wherever
    // its prefix); else the data folder under the configured installation prefix.
    static QString folder();

    // Loads the three files of `folder` at once.
    explicit ReferenceLibrary(const QString& folder = ReferenceLibrary::folder());

    const QList<RefCrop>& crops() const { return m_crops; }
    const QMap<QString, RefSource>& sources() const { return m_sources; }
    const QList<GrowVideo>& videos() const { return m_videos; }
    // Sources, crops, videos, in that order; a file without a single row has none.
    const QList<DataLoadReport>& reports() const { return m_reports; }

    // The first crop whose id is exactly `id`.
    std::optional<RefCrop> crop(const QString& id) const;
    // Crops whose lower-cased name or season, or whose id, contains the trimmed,
    // lower-cased text; all crops for a blank text.
    QList<RefCrop> search(const QString& text) const;
    // The crop a free-text name means ("Tomatoes" → Tomato): equal singular keys
    // first, then the first name that begins with the key.
    std::optional<RefCrop> match(const QString& name) const;
    // Each video topic once, in order of first appearance.
    QStringList videoTopics() const;

private:
    struct Rows {
        QStringList header;
        QList<QPair<int, QStringList>> data; // line number, cells
    };

    void load(const QString& folder);
    std::optional<Rows> rows(const QString& folder, const QString& name);
    void loadSources(const QString& folder);
    void loadCrops(const QString& folder);
    void loadVideos(const QString& folder);

    QList<RefCrop> m_crops;
    QMap<QString, RefSource> m_sources;
    QList<GrowVideo> m_videos;
    QList<DataLoadReport> m_reports;
};
