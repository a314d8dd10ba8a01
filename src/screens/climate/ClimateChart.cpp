#include "screens/climate/ClimateChart.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVReadFailure.h"
#include "screens/climate/TimeAxisMarks.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// The desktop's standard cyan, used for the low alert rule.
QColor cyan() { return QColor(100, 210, 255); }

// A dot of the point colour, stamped at every point of the line series.
QImage dotImage(double diameter)
{
    const int side = std::max(2, int(std::ceil(diameter)));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(OVColors::warmLight());
    p.drawEllipse(QRectF(0, 0, side, side));
    return image;
}

QPen rulePen(const QColor& color)
{
    QPen pen(color);
    const double width = KitMetrics::pxF(1.2);
    pen.setWidthF(width);
    // Dash lengths are in units of the pen width: 5 drawn, 4 blank.
    pen.setDashPattern({5.0 / 1.2, 4.0 / 1.2});
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

void styleAxis(QAbstractAxis* axis, const OVColors& colors)
{
    QColor grid(255, 255, 255);
    grid.setAlphaF(0.1);
    axis->setGridLineColor(grid);
    axis->setGridLineVisible(true);
    axis->setLineVisible(false); // no axis line, no tick marks
    axis->setLabelsColor(colors.dim());
    axis->setLabelsFont(KitMetrics::font(10));
    axis->setTitleBrush(colors.dim());
    axis->setTitleFont(KitMetrics::font(10.5, QFont::Medium));
}

} // namespace

QList<ClimateChart::Point> ClimateChart::points(const QList<Reading>& readings, Metric metric)
{
    QList<Point> stored;
    stored.reserve(readings.size());
    for (const Reading& reading : readings) {
        const auto value = reading.values.find(metric);
        if (value != reading.values.end())
            stored.append(Point{reading.taken, value->second});
    }
    return displayPoints(std::move(stored), metric);
}

QList<ClimateChart::Point> ClimateChart::displayPoints(QList<Point> stored, Metric metric)
{
    // The unit preference is read once per drawing, not once per point: each read
    // is a settings lookup that touches the file system.
    if (metric.toDisplay(212) != 212)
        for (Point& point : stored)
            point.value = (point.value - 32) * 5 / 9; // as Metric::toDisplay converts
    std::stable_sort(stored.begin(), stored.end(), [](const Point& a, const Point& b) { return a.time < b.time; });
    return stored;
}

ClimateChart::YRange ClimateChart::yRange(const QList<Point>& points, Metric metric,
                                          const std::optional<MetricRange>& range)
{
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    auto take = [&](double v) {
        if (!std::isfinite(v))
            return;
        low = std::min(low, v);
        high = std::max(high, v);
    };
    for (const Point& point : points)
        take(point.value);
    if (range) {
        if (range->min)
            take(metric.toDisplay(*range->min));
        if (range->max)
            take(metric.toDisplay(*range->max));
    }
    if (!(low <= high))
        return {0, 1};
    const double span = high - low;
    const double pad = span > 0 ? span * 0.08 : std::max(1.0, std::abs(low) * 0.05);
    return {low - pad, high + pad};
}

QString ClimateChart::emptyText(Metric metric)
{
    return QStringLiteral("No ") + metric.name().toLower() + QStringLiteral(" readings in this period.");
}

ClimateChart::ClimateChart(const QList<Reading>& readings, Metric metric, std::optional<MetricRange> range,
                           QWidget* parent)
    : QWidget(parent)
{
    build(points(readings, metric), metric, range);
}

ClimateChart::ClimateChart(const QList<Point>& stored, Metric metric, std::optional<MetricRange> range,
                           QWidget* parent)
    : QWidget(parent)
{
    build(displayPoints(stored, metric), metric, range);
}

void ClimateChart::sayReadFailure(const QString& reason)
{
    if (m_empty)
        m_empty->setText(OVReadFailure::text(reason));
}

void ClimateChart::build(const QList<Point>& pts, Metric metric, const std::optional<MetricRange>& range)
{
    const OVColors colors;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    m_pointCount = int(pts.size());
    if (pts.isEmpty()) {
        m_empty = new QLabel(emptyText(metric));
        m_empty->setTextFormat(Qt::PlainText);
        m_empty->setAlignment(Qt::AlignCenter);
        m_empty->setFont(KitMetrics::font(12.5));
        QPalette pal = m_empty->palette();
        pal.setColor(QPalette::WindowText, colors.dim());
        m_empty->setPalette(pal);
        layout->addWidget(m_empty);
        return;
    }

    m_chart = new QChart;
    m_chart->setAnimationOptions(QChart::NoAnimation);
    m_chart->setBackgroundVisible(false);
    m_chart->setPlotAreaBackgroundVisible(false);
    m_chart->legend()->hide();
    m_chart->setMargins(QMargins(0, KitMetrics::px(4), KitMetrics::px(4), 0));
    m_chart->layout()->setContentsMargins(0, 0, 0, 0);
    m_chart->setBackgroundRoundness(0);

    // Time on x in milliseconds since 1970.
    QList<QPointF> xy;
    xy.reserve(pts.size());
    for (const Point& point : pts)
        xy.append(QPointF(double(point.time.toMSecsSinceEpoch()), point.value));
    m_xMin = pts.first().time.toMSecsSinceEpoch();
    m_xMax = pts.last().time.toMSecsSinceEpoch();
    if (m_xMax == m_xMin) { // one instant: give the axis an hour either side
        m_xMin -= 3600 * 1000;
        m_xMax += 3600 * 1000;
    }
    const qint64 xMax = m_xMax;

    // Qt's date-time axis can only space its marks evenly between the ends; marks on
    // calendar boundaries are set one by one, each labelled on its own value.
    auto* xAxis = new QCategoryAxis;
    xAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    xAxis->setRange(double(m_xMin), double(xMax));
    const TimeAxisMarks::Marks marks =
        TimeAxisMarks::between(QDateTime::fromMSecsSinceEpoch(m_xMin, QTimeZone::utc()),
                               QDateTime::fromMSecsSinceEpoch(xMax, QTimeZone::utc()));
    // The axis draws a grid line at the start of its first category as well as at
    // every mark: that start lies just off the plot, so the first mark's line is not
    // drawn twice (twice as bright).
    xAxis->setStartValue(double(m_xMin) - 1);
    for (const TimeAxisMarks::Mark& mark : marks.marks)
        xAxis->append(mark.label, double(mark.at.toMSecsSinceEpoch()));
    styleAxis(xAxis, colors);
    if (!marks.marks.isEmpty()) {
        for (const TimeAxisMarks::Mark& mark : {marks.marks.first(), marks.marks.last()})
            m_endMarks.append({double(mark.at.toMSecsSinceEpoch()), mark.label});
        m_timeFont = xAxis->labelsFont();
    }
    m_chart->addAxis(xAxis, Qt::AlignBottom);

    m_yAxis = new QValueAxis;
    const YRange yr = yRange(pts, metric, range);
    m_yAxis->setRange(yr.low, yr.high);
    m_yAxis->applyNiceNumbers();
    m_yAxis->setLabelFormat(QStringLiteral("%g"));
    m_yAxis->setTitleText(metric.unit().isEmpty() ? metric.name() : metric.unit());
    styleAxis(m_yAxis, colors);
    m_chart->addAxis(m_yAxis, Qt::AlignLeft);

    auto* line = new QLineSeries;
    line->setName(metric.name());
    QPen linePen(OVColors::leaf());
    linePen.setWidthF(KitMetrics::pxF(2));
    linePen.setCapStyle(Qt::RoundCap);
    linePen.setJoinStyle(Qt::RoundJoin);
    line->setPen(linePen);
    line->setUseOpenGL(false);
    const double dot = KitMetrics::pxF(4.8); // an 18 square-point mark
    if (markers == Markers::light) {
        line->setMarkerSize(dot);
        line->setLightMarker(dotImage(dot));
    }
    line->replace(xy);
    m_chart->addSeries(line);
    line->attachAxis(xAxis);
    line->attachAxis(m_yAxis);

    if (markers == Markers::scatter) {
        auto* dots = new QScatterSeries;
        dots->setMarkerShape(QScatterSeries::MarkerShapeCircle);
        dots->setMarkerSize(dot);
        dots->setColor(OVColors::warmLight());
        dots->setBorderColor(Qt::transparent);
        dots->replace(xy);
        m_chart->addSeries(dots);
        dots->attachAxis(xAxis);
        dots->attachAxis(m_yAxis);
    }

    auto addRule = [&](double stored, const QColor& color, double opacity, const QString& label, bool above) {
        const double y = metric.toDisplay(stored);
        auto* rule = new QLineSeries;
        QColor penColor = color;
        penColor.setAlphaF(float(opacity));
        rule->setPen(rulePen(penColor));
        rule->append(double(m_xMin), y);
        rule->append(double(xMax), y);
        m_chart->addSeries(rule);
        rule->attachAxis(xAxis);
        rule->attachAxis(m_yAxis);
        auto* text = new QGraphicsSimpleTextItem(label, m_chart);
        text->setFont(KitMetrics::font(10));
        text->setBrush(color);
        text->setZValue(20);
        m_rules.append(RuleLabel{text, y, above});
    };
    if (range && range->min)
        addRule(*range->min, cyan(), 0.8, QStringLiteral("low ") + metric.format(*range->min), false);
    if (range && range->max)
        addRule(*range->max, OVColors::alert(), 0.9, QStringLiteral("high ") + metric.format(*range->max), true);

    m_view = new QChartView(m_chart);
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setBackgroundBrush(Qt::NoBrush);
    m_view->setStyleSheet(QString()); // the card shows through
    m_view->setAttribute(Qt::WA_TranslucentBackground);
    m_view->viewport()->setAutoFillBackground(false);
    m_view->setAutoFillBackground(false);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(m_view);
    connect(m_chart, &QChart::plotAreaChanged, this, [this] {
        fitEndLabels();
        placeRuleLabels();
    });
}

QStringList ClimateChart::ruleLabels() const
{
    QStringList out;
    for (const RuleLabel& rule : m_rules)
        out.append(rule.item->text());
    return out;
}

void ClimateChart::placeRuleLabels()
{
    if (!m_chart)
        return;
    const QRectF plot = m_chart->plotArea();
    const double gap = KitMetrics::pxF(2);
    for (const RuleLabel& rule : m_rules) {
        const QPointF at = m_chart->mapToPosition(QPointF(double(m_xMin), rule.y));
        const QRectF box = rule.item->boundingRect();
        const double y = rule.above ? at.y() - box.height() - gap : at.y() + gap;
        rule.item->setPos(plot.left() + KitMetrics::pxF(4), y);
    }
}

void ClimateChart::fitEndLabels()
{
    // The axis centres each label on its mark and lets the chart's edge cut it. A mark
    // at or near an end of the span (a reading on a whole minute, a span of seconds)
    // gets room beside the plot for half its label: the margins that give it are worked
    // out from what stays fixed as they change (the plot's left edge and width without
    // margins), so setting them again changes nothing.
    if (!m_chart || m_endMarks.isEmpty() || m_xMax <= m_xMin)
        return;
    const QRectF plot = m_chart->plotArea();
    const QMargins margins = m_chart->margins();
    const double chartWidth = m_chart->size().width();
    const double bareLeft = plot.left() - margins.left();                      // plot's left edge with no margins
    const double bareWidth = plot.width() + margins.left() + margins.right(); // plot's width with no margins
    if (bareWidth <= 0)
        return;
    const QFontMetricsF metrics(m_timeFont);
    auto share = [this](double value) { return (value - double(m_xMin)) / double(m_xMax - m_xMin); };
    auto half = [&](const QString& label) { return metrics.horizontalAdvance(label) / 2 + KitMetrics::pxF(2); };
    const double first = share(m_endMarks.first().first);
    const double last = share(m_endMarks.last().first);
    const double firstHalf = half(m_endMarks.first().second);
    const double lastHalf = half(m_endMarks.last().second);
    // The first mark lies at bareLeft + left + first * (bareWidth - left - right), at
    // least firstHalf from the chart's left edge; the last one lastHalf from its right.
    auto leftFor = [&](double right) {
        return first >= 1 ? 0.0 : (firstHalf - bareLeft - first * (bareWidth - right)) / (1 - first);
    };
    auto rightFor = [&](double left) {
        return last <= 0 ? 0.0 : bareWidth - left - (chartWidth - lastHalf - bareLeft - left) / last;
    };
    const int baseRight = KitMetrics::px(4);
    double left = std::max(0.0, leftFor(baseRight));
    const double right = std::max(double(baseRight), rightFor(left));
    left = std::max(0.0, leftFor(right));
    const QMargins wanted(int(std::ceil(left)), margins.top(), int(std::ceil(right)), margins.bottom());
    if (wanted != margins)
        m_chart->setMargins(wanted);
}

