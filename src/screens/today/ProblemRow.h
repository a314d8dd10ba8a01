#pragma once
// An open pest, disease or disorder as a Today screen row: the problem, its severity
// tag (alert colour from 4 up), the observed day and "Open", which opens the pest
// editor on the record as shown.

#include "kit/OVRowBox.h"
#include "records/PestRecord.h"

class AppModel;
class OVTag;
class QNChromeButton;

class ProblemRow : public OVRowBox {
    Q_OBJECT
public:
    ProblemRow(const PestRecord& record, AppModel& model, QWidget* parent = nullptr);

    const PestRecord& record() const { return m_record; }
    OVTag* severityTag() const { return m_tag; }
    QColor severityColor() const { return m_tagColor; }
    QNChromeButton* openButton() const { return m_open; }

private:
    PestRecord m_record;
    OVTag* m_tag = nullptr;
    QColor m_tagColor;
    QNChromeButton* m_open = nullptr;
};
