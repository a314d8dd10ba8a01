#pragma once
// One pest, disease or disorder record as a row of the Pests & Diseases list: the
// kind's symbol (green once resolved, else orange), the problem with its kind,
// severity and "Resolved" tags, the place line (always present, may be empty), the
// treatment and result lines when there is text for them, and the day it was seen
// at the right. Highlighted while unresolved at severity 4 or more.
//
// The row is a picture of the record when it was built; the place names are handed
// in by the list, which looks each plant and zone up once per rebuild.

#include "records/PestRecord.h"
#include "screens/records/RecordRow.h"

#include <QStringList>

class PestRow : public RecordRow {
    Q_OBJECT
public:
    struct Tag {
        QString text;
        QColor color;
    };

    // plantName and zoneName are empty when the record has no such place (or it is gone).
    PestRow(const PestRecord& record, const QString& plantName, const QString& zoneName, QWidget* parent = nullptr);

    const PestRecord& record() const { return m_record; }
    QString symbol() const { return m_symbol; }
    QColor symbolColor() const { return m_symbolColor; }
    const QList<Tag>& tags() const { return m_tags; }
    QString placeText() const { return m_place; }
    // Empty when the row has no such line.
    QString treatmentText() const { return m_treatment; }
    QString resultText() const { return m_result; }
    QString dayText() const { return m_day; }

    // The symbol of a kind: "ladybug.fill", "allergens" or "exclamationmark.triangle.fill".
    static QString symbolFor(ProblemKind kind);

protected:
    double contentHeight() const override;
    void paintContent(QPainter& p, const QRectF& content) override;

private:
    double firstLineHeight() const;

    PestRecord m_record;
    QString m_symbol;
    QColor m_symbolColor;
    QList<Tag> m_tags;
    QString m_place;
    QString m_treatment;
    QString m_result;
    QString m_day;
    QColor m_text;
    QColor m_dim;
    QFont m_titleFont;
    QFont m_smallFont;
};
