#pragma once
// One climate metric of one zone over time: a line through the readings with a dot
// at each, and dashed rules at the zone's low and high alert values with small
// labels. A pure view: it is handed readings, metric and range, reads nothing from
// the store and keeps no state beyond what it draws.
//
// Invariants: the points are the readings that hold the metric, in display units,
// sorted oldest first by a stable sort (equal times keep the order given); the y
// axis always covers every point and every rule; with no points the widget shows
// only the empty text and builds no chart. Qt Charts is used without OpenGL and
// without animation; the owner gives the widget its (fixed) height. The time axis
// marks the local calendar (TimeAxisMarks), not evenly spaced instants; a mark at or
// near an end of the span gets room beside the plot for its whole label.

#include "records/Metric.h"
#include "records/MetricRange.h"
#include "records/Reading.h"

#include <QDateTime>
#include <QFont>
#include <QList>
#include <QWidget>
#include <optional>

class QChart;
class QChartView;
class QGraphicsSimpleTextItem;
class QLabel;
class QValueAxis;

class ClimateChart : public QWidget {
    Q_OBJECT
public:
    struct Point {
        QDateTime time;
        double value = 0;
    };
    struct YRange {
        double low = 0;
        double high = 0;
    };
    // How the dots are drawn: a small image stamped at each point of the line series
    // (cheap), or a separate scatter series (kept for comparison in the benchmarks).
    enum class Markers { light, scatter };
    static inline Markers markers = Markers::light;

    ClimateChart(const QList<Reading>& readings, Metric metric, std::optional<MetricRange> range = std::nullopt,
                 QWidget* parent = nullptr);
    // The same chart from (taken, stored value) pairs of the metric, in any order.
    ClimateChart(const QList<Point>& stored, Metric metric, std::optional<MetricRange> range = std::nullopt,
                 QWidget* parent = nullptr);

    // The readings that hold `metric`, as (taken, display value), oldest first.
    static QList<Point> points(const QList<Reading>& readings, Metric metric);
    // Stored values in the display unit, oldest first (a stable sort).
    static QList<Point> displayPoints(QList<Point> stored, Metric metric);
    // The span the y axis must show: every point and every rule, padded a little;
    // never empty.
    static YRange yRange(const QList<Point>& points, Metric metric, const std::optional<MetricRange>& range);
    // "No <metric name, lower case> readings in this period."
    static QString emptyText(Metric metric);

    // Replaces the empty text with "could not read your data: <reason>", for a chart
    // whose points could not be read.
    void sayReadFailure(const QString& reason);

    // Nothing while the empty text is shown.
    QChart* chart() const { return m_chart; }
    QValueAxis* valueAxis() const { return m_yAxis; }
    QLabel* emptyLabel() const { return m_empty; }
    int pointCount() const { return m_pointCount; }
    // The rule labels shown ("low 60°F", "high 85°F"), low first.
    QStringList ruleLabels() const;

private:
    void build(const QList<Point>& pts, Metric metric, const std::optional<MetricRange>& range);
    void placeRuleLabels();
    void fitEndLabels();

    QChart* m_chart = nullptr;
    QChartView* m_view = nullptr;
    QValueAxis* m_yAxis = nullptr;
    QLabel* m_empty = nullptr;
    int m_pointCount = 0;
    struct RuleLabel {
        QGraphicsSimpleTextItem* item = nullptr;
        double y = 0;
        bool above = false;
    };
    QList<RuleLabel> m_rules;
    qint64 m_xMin = 0;
    qint64 m_xMax = 0;
    // The time axis's first and last marks: (value, label).
    QList<std::pair<double, QString>> m_endMarks;
    QFont m_timeFont;
};
