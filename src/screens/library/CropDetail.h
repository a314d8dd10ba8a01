#pragma once
// One reference crop in full: name and season, its growing-temperature text, a grid of
// facts (each naming its sources), notes, the sources with their links and the day
// each was checked, and "Start a Planting", which opens the plant editor on a new,
// unsaved planting linked to the crop. Temperatures are stored in °F and shown in
// the user's unit when the card is built. Writes nothing to the store.

#include "services/RefCrop.h"

#include <QStringList>
#include <QWidget>

class AppModel;
class ReferenceLibrary;

class CropDetail : public QWidget {
    Q_OBJECT
public:
    CropDetail(const RefCrop& crop, AppModel& model, const ReferenceLibrary& library, QWidget* parent = nullptr);

    // The texts of the two temperature facts.
    static QString growingText(const RefCrop& crop);
    static QString soilText(const RefCrop& crop);
    // "Source: " + the short names of the keys, joined with ", "; a key without a
    // source stands as itself.
    static QString sourceLine(const QStringList& keys, const ReferenceLibrary& library);
    // The unsaved planting "Start a Planting" opens.
    static struct Plant newPlanting(const RefCrop& crop);

private:
    QWidget* fact(const QString& label, const QString& symbol, const QString& value, const QStringList& keys);

    RefCrop m_crop;
    AppModel& m_model;
    const ReferenceLibrary& m_lib;
};
