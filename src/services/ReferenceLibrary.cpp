#include "services/ReferenceLibrary.h"

#include "records/CropKey.h"
#include "records/OVDay.h"
#include "services/OVCSV.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <QUrl>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace {

const QString kFileMissing = QStringLiteral("file missing");

// Header name to cell; a column is absent when the header lacks it or the row is
// too short. A repeated header name: the later column wins.
using RowDict = QHash<QString, QString>;

RowDict dict(const QStringList& header, const QStringList& cells)
{
    RowDict d;
    const qsizetype n = std::min(header.size(), cells.size());
    for (qsizetype i = 0; i < n; ++i)
        d.insert(header.at(i), cells.at(i));
    return d;
}

std::optional<QString> cell(const RowDict& d, const QString& column)
{
    const auto it = d.constFind(column);
    if (it == d.constEnd())
        return std::nullopt;
    return *it;
}

QString text(const RowDict& d, const QString& column)
{
    return d.value(column);
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Plain decimal syntax only: optional sign, digits with an optional ".", optional
// exponent; nothing before or after. Values beyond the double range count as no
// number, like any other bad cell.
std::optional<double> dbl(const std::optional<QString>& value)
{
    if (!value || value->isEmpty())
        return std::nullopt;
    const QString& s = *value;
    qsizetype i = 0;
    const qsizetype n = s.size();
    if (s.at(i) == QLatin1Char('+') || s.at(i) == QLatin1Char('-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && isAsciiDigit(s.at(i))) {
        ++i;
        ++digits;
    }
    if (i < n && s.at(i) == QLatin1Char('.')) {
        ++i;
        while (i < n && isAsciiDigit(s.at(i))) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (s.at(i) == QLatin1Char('e') || s.at(i) == QLatin1Char('E'))) {
        ++i;
        if (i < n && (s.at(i) == QLatin1Char('+') || s.at(i) == QLatin1Char('-')))
            ++i;
        qsizetype expDigits = 0;
        while (i < n && isAsciiDigit(s.at(i))) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;

    QByteArray ascii = s.toLatin1();
    if (ascii.startsWith('+'))
        ascii.remove(0, 1);
    double result = 0;
    const auto [end, ec] = std::from_chars(ascii.constData(), ascii.constData() + ascii.size(), result);
    if (ec != std::errc() || end != ascii.constData() + ascii.size() || !std::isfinite(result))
        return std::nullopt;
    return result;
}

// Whole days from a number cell, the fraction dropped; figures that are not finite
// or lie beyond the 64-bit range count as absent.
std::optional<qint64> wholeDays(const std::optional<QString>& value)
{
    const std::optional<double> d = dbl(value);
    if (!d)
        return std::nullopt;
    const double t = std::trunc(*d);
    if (!(t >= -9223372036854775808.0 && t < 9223372036854775808.0))
        return std::nullopt;
    return static_cast<qint64>(t);
}

// A decimal integer: optional sign, digits only; 0 for anything else.
qint64 integerOrZero(const std::optional<QString>& value)
{
    if (!value || value->isEmpty())
        return 0;
    const QString& s = *value;
    qsizetype i = (s.at(0) == QLatin1Char('+') || s.at(0) == QLatin1Char('-')) ? 1 : 0;
    if (i == s.size())
        return 0;
    for (qsizetype j = i; j < s.size(); ++j) {
        if (!isAsciiDigit(s.at(j)))
            return 0;
    }
    bool ok = false;
    const qint64 v = s.toLongLong(&ok);
    return ok ? v : 0;
}

// Source keys: split on ";", each piece trimmed of spaces and tabs, empty pieces
// dropped; order and repeats kept.
QStringList keys(const std::optional<QString>& value)
{
    QStringList out;
    if (!value)
        return out;
    for (const QString& piece : value->split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringView trimmed = OVCSV::trimSpaces(piece);
        if (!trimmed.isEmpty())
            out.append(trimmed.toString());
    }
    return out;
}

// The text as an address; nothing for the empty text or text that is not URL syntax.
std::optional<QUrl> urlCell(const std::optional<QString>& value)
{
    if (!value || value->isEmpty())
        return std::nullopt;
    QUrl url(*value, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

// The host as the cell writes it. QUrl lower-cases hosts, but the host test is
// case-sensitive, so it is read from the text itself.
QString writtenHost(const QString& s)
{
    qsizetype start = -1;
    if (s.startsWith(QLatin1String("//"))) {
        start = 2;
    } else {
        const qsizetype colon = s.indexOf(QLatin1Char(':'));
        if (colon > 0 && QStringView(s).mid(colon + 1, 2) == QLatin1String("//"))
            start = colon + 3;
    }
    if (start < 0)
        return {};
    qsizetype end = start;
    while (end < s.size() && s.at(end) != QLatin1Char('/') && s.at(end) != QLatin1Char('?') &&
           s.at(end) != QLatin1Char('#'))
        ++end;
    QStringView authority = QStringView(s).mid(start, end - start);
    const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
    if (at >= 0)
        authority = authority.mid(at + 1);
    if (authority.startsWith(QLatin1Char('['))) {
        const qsizetype close = authority.indexOf(QLatin1Char(']'));
        return close > 0 ? authority.mid(1, close - 1).toString() : QString();
    }
    const qsizetype port = authority.indexOf(QLatin1Char(':'));
    if (port >= 0)
        authority = authority.left(port);
    return authority.toString();
}

// A text literal in double quotes with quotes, backslashes and control characters
// escaped, so a problem line shows exactly which key was not found.
QString quoted(const QString& s)
{
    QString out = QStringLiteral("\"");
    for (const char32_t c : s.toUcs4()) {
        switch (c) {
        case U'"': out += QStringLiteral("\\\""); break;
        case U'\\': out += QStringLiteral("\\\\"); break;
        case U'\n': out += QStringLiteral("\\n"); break;
        case U'\r': out += QStringLiteral("\\r"); break;
        case U'\t': out += QStringLiteral("\\t"); break;
        case U'\0': out += QStringLiteral("\\0"); break;
        default:
            if (c < 0x20 || (c >= 0x7F && c < 0xA0))
                out += QStringLiteral("\\u{") + QString::number(uint(c), 16).toUpper() + QLatin1Char('}');
            else
                out += QString::fromUcs4(&c, 1);
        }
    }
    out += QLatin1Char('"');
    return out;
}

QString bracketed(const QStringList& list)
{
    QStringList parts;
    for (const QString& s : list)
        parts.append(quoted(s));
    return QLatin1Char('[') + parts.join(QStringLiteral(", ")) + QLatin1Char(']');
}

QString lineText(int line)
{
    return QStringLiteral("line ") + QString::number(line);
}

// The crop key made singular: "oes", "shes", "ches" lose two letters, else a
// final "s" goes.
QString singular(QString key)
{
    if (key.endsWith(QLatin1String("oes")) || key.endsWith(QLatin1String("shes")) ||
        key.endsWith(QLatin1String("ches")))
        key.chop(2);
    else if (key.endsWith(QLatin1Char('s')))
        key.chop(1);
    return key;
}

} // namespace

const ReferenceLibrary& ReferenceLibrary::shared()
{
    static const ReferenceLibrary instance;
    return instance;
}

QString ReferenceLibrary::folder()
{
    const QString fromEnv = qEnvironmentVariable("OV_DATA_DIR");
    if (!fromEnv.isEmpty())
        return QFileInfo(fromEnv).absoluteFilePath();
    if (QCoreApplication::instance()) {
        const QString besideProgram = QCoreApplication::applicationDirPath() + QStringLiteral("/data");
        if (QFileInfo(besideProgram).isDir())
            return besideProgram;
        // An installation moved to another prefix keeps bin/ and share/ side by side.
        const QString underPrefix = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/orvane/data");
        if (QFileInfo(underPrefix).isDir())
            return QFileInfo(underPrefix).canonicalFilePath();
    }
    return QStringLiteral(ORVANE_DATA_INSTALL_DIR);
}

ReferenceLibrary::ReferenceLibrary(const QString& folder)
{
    load(folder);
}

void ReferenceLibrary::load(const QString& folder)
{
    m_reports.clear();
    loadSources(folder);
    loadCrops(folder);
    loadVideos(folder);
}

std::optional<ReferenceLibrary::Rows> ReferenceLibrary::rows(const QString& folder, const QString& name)
{
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    bool readable = QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly);
    QString content;
    if (readable) {
        const QByteArray bytes = file.readAll();
        readable = file.error() == QFileDevice::NoError;
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        content = decoder.decode(bytes);
        readable = readable && !decoder.hasError();
    }
    if (!readable) {
        m_reports.append(DataLoadReport{name, 0, 0, {kFileMissing}});
        return std::nullopt;
    }

    const QList<OVCSV::Row> parsed = OVCSV::parse(content);
    if (parsed.isEmpty())
        return std::nullopt;
    Rows out;
    out.header = parsed.first().fields;
    out.data.reserve(parsed.size() - 1);
    for (qsizetype i = 1; i < parsed.size(); ++i)
        out.data.append({parsed.at(i).line, parsed.at(i).fields});
    return out;
}

void ReferenceLibrary::loadSources(const QString& folder)
{
    const std::optional<Rows> file = rows(folder, sourcesFile);
    if (!file)
        return;
    QStringList problems;
    for (const auto& [line, cells] : file->data) {
        const RowDict d = dict(file->header, cells);
        const QString key = text(d, QStringLiteral("key"));
        const std::optional<QString> urlText = cell(d, QStringLiteral("url"));
        const std::optional<QUrl> url = urlCell(urlText);
        const std::optional<QString> checked = cell(d, QStringLiteral("checked"));
        // The scheme test is case-sensitive; QUrl lower-cases schemes, so the
        // written text decides.
        const bool secure = url && url->scheme() == QLatin1String("https") &&
                            urlText->startsWith(QLatin1String("https:"));
        if (key.isEmpty() || !secure || !checked || !OVDay::fromIso(*checked)) {
            problems.append(lineText(line));
            continue;
        }
        m_sources.insert(key, RefSource{key, text(d, QStringLiteral("publisher")),
                                        text(d, QStringLiteral("title")), *url, *checked});
    }
    m_reports.append(DataLoadReport{sourcesFile, int(file->data.size()), int(m_sources.size()), problems});
}

void ReferenceLibrary::loadCrops(const QString& folder)
{
    const std::optional<Rows> file = rows(folder, cropsFile);
    if (!file)
        return;
    QStringList problems;
    QList<RefCrop> accepted;
    for (const auto& [line, cells] : file->data) {
        if (cells.size() != file->header.size()) {
            problems.append(lineText(line) + QStringLiteral(": ") + QString::number(cells.size()) +
                            QStringLiteral(" columns"));
            continue;
        }
        const RowDict d = dict(file->header, cells);
        auto c = [&d](const char* column) { return cell(d, QString::fromLatin1(column)); };
        auto t = [&d](const char* column) { return text(d, QString::fromLatin1(column)); };

        RefCrop crop;
        crop.id = t("id");
        crop.name = t("name");
        crop.season = t("season");
        crop.growTemps = t("grow_temps");
        crop.growLow = dbl(c("grow_low_f"));
        crop.growHigh = dbl(c("grow_high_f"));
        crop.growBasis = t("grow_basis");
        crop.nightLow = dbl(c("night_low_f"));
        crop.nightHigh = dbl(c("night_high_f"));
        crop.germMin = dbl(c("germ_min_f"));
        crop.germOpt = dbl(c("germ_opt_f"));
        crop.germMax = dbl(c("germ_max_f"));
        crop.spacing = t("spacing");
        crop.depth = t("depth");
        crop.daysToGerminate = t("days_to_germinate");
        crop.maturityLow = wholeDays(c("maturity_low"));
        crop.maturityHigh = wholeDays(c("maturity_high"));
        crop.maturityFrom = t("maturity_from");
        crop.transplantWeeks = t("transplant_weeks");
        crop.notes = t("notes");
        crop.tempSources = keys(c("temp_source"));
        crop.germSources = keys(c("germ_source"));
        crop.spacingSources = keys(c("spacing_source"));
        crop.maturitySources = keys(c("maturity_source"));

        QStringList unknown;
        for (const QString& key : crop.allSourceKeys()) {
            if (!m_sources.contains(key))
                unknown.append(key);
        }
        if (!unknown.isEmpty()) {
            problems.append(lineText(line) + QStringLiteral(": ") + crop.id +
                            QStringLiteral(" unknown source ") + bracketed(unknown));
            continue;
        }
        if (crop.id.isEmpty()) {
            problems.append(lineText(line) + QStringLiteral(": missing id"));
            continue;
        }
        if (crop.name.isEmpty()) {
            problems.append(lineText(line) + QStringLiteral(": ") + crop.id + QStringLiteral(" missing name"));
            continue;
        }
        accepted.append(std::move(crop));
    }

    // By lower-cased name in code-point order (not the locale's), stable.
    std::vector<std::pair<QList<uint>, qsizetype>> order;
    order.reserve(size_t(accepted.size()));
    for (qsizetype i = 0; i < accepted.size(); ++i)
        order.emplace_back(accepted.at(i).name.toLower().toUcs4(), i);
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    m_crops.clear();
    m_crops.reserve(accepted.size());
    for (const auto& entry : order)
        m_crops.append(accepted.at(entry.second));

    m_reports.append(DataLoadReport{cropsFile, int(file->data.size()), int(m_crops.size()), problems});
}

void ReferenceLibrary::loadVideos(const QString& folder)
{
    const std::optional<Rows> file = rows(folder, videosFile);
    if (!file)
        return;
    QStringList problems;
    for (const auto& [line, cells] : file->data) {
        const RowDict d = dict(file->header, cells);
        const QString id = text(d, QStringLiteral("id"));
        const std::optional<QString> urlText = cell(d, QStringLiteral("url"));
        const std::optional<QUrl> url = urlCell(urlText);
        const bool onSite = url && url->host() == videoHost && writtenHost(*urlText) == videoHost;
        const QString title = text(d, QStringLiteral("title"));
        const QString channel = text(d, QStringLiteral("channel"));
        const std::optional<QString> published = cell(d, QStringLiteral("published"));
        if (id.isEmpty() || !onSite || title.isEmpty() || channel.isEmpty() || !published ||
            !OVDay::fromIso(*published)) {
            problems.append(lineText(line));
            continue;
        }
        GrowVideo video;
        video.id = id;
        video.title = title;
        video.channel = channel;
        video.channelURL = urlCell(cell(d, QStringLiteral("channel_url")));
        video.published = *published;
        video.seconds = integerOrZero(cell(d, QStringLiteral("seconds")));
        video.topic = cell(d, QStringLiteral("topic")).value_or(QStringLiteral("Other"));
        video.url = *url;
        video.checked = text(d, QStringLiteral("checked"));
        m_videos.append(std::move(video));
    }
    m_reports.append(DataLoadReport{videosFile, int(file->data.size()), int(m_videos.size()), problems});
}

std::optional<RefCrop> ReferenceLibrary::crop(const QString& id) const
{
    for (const RefCrop& c : m_crops) {
        if (c.id == id)
            return c;
    }
    return std::nullopt;
}

QList<RefCrop> ReferenceLibrary::search(const QString& textIn) const
{
    const QString q = OVCSV::trimSpaces(textIn).toString().toLower();
    if (q.isEmpty())
        return m_crops;
    QList<RefCrop> out;
    for (const RefCrop& c : m_crops) {
        if (c.name.toLower().contains(q) || c.season.toLower().contains(q) || c.id.contains(q))
            out.append(c);
    }
    return out;
}

std::optional<RefCrop> ReferenceLibrary::match(const QString& name) const
{
    const QString key = singular(cropKey(name));
    if (key.isEmpty())
        return std::nullopt;
    for (const RefCrop& c : m_crops) {
        if (singular(cropKey(c.name)) == key)
            return c;
    }
    for (const RefCrop& c : m_crops) {
        if (cropKey(c.name).startsWith(key))
            return c;
    }
    return std::nullopt;
}

QStringList ReferenceLibrary::videoTopics() const
{
    QStringList topics;
    for (const GrowVideo& v : m_videos) {
        if (!topics.contains(v.topic))
            topics.append(v.topic);
    }
    return topics;
}
