#pragma once
// One report table: the header row, banded data rows and the total row, every cell
// one line (long text elided), equal-width columns, the first column left-aligned
// and the others right-aligned, clipped to a rounded rectangle. Shows text that is
// already formatted; takes no input.

#include "services/ReportTableText.h"

#include <QWidget>

class ReportTable : public QWidget {
    Q_OBJECT
public:
    explicit ReportTable(const ReportTableText& table, QWidget* parent = nullptr);

    const ReportTableText& table() const { return m_table; }
    // The rows in drawing order (header, data, total) with their backgrounds.
    struct Row {
        QStringList cells;
        bool bold;
        QColor background;
    };
    QList<Row> rows() const;
    // The text a cell shows in a width: the whole text, or elided with "…".
    QString cellText(const QString& text, bool bold, int width) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int rowHeight() const;

    ReportTableText m_table;
};
