#pragma once
// The plant editor sheet: crop, crop-library link, variety, source, status, number of
// plants, the three days with the crop-library fill, the greenhouse, zone and bed or
// bench, notes and photos, and the delete button of a stored plant.
//
// It edits a private copy (`item`) and writes it only on Save. The place pickers keep
// the place consistent as the user goes: a greenhouse change drops a zone of another
// greenhouse (and its bed), a zone change drops a bed of another zone; each picker
// offers only what the one above allows, and the lists follow store changes. Photos
// are the exception to "only on Save": each add and removal is stored at once and
// stays whatever the sheet's end. Combo boxes react to the user only (`activated`),
// so filling them never fires a reaction.
//
// When it opens it loads the stored plant's photos and, for a plant without a
// library link, proposes the library crop its crop name means. The photos' pictures
// are decoded on worker threads: the sheet opens at once and each tile fills in as
// its picture is ready; results that arrive after the strip or the editor is gone
// are dropped.

#include "records/Photo.h"
#include "records/Plant.h"
#include "services/RefCrop.h"

#include <QFutureWatcher>
#include <QImage>
#include <QList>
#include <QString>
#include "kit/OVRecordEditor.h"
#include <optional>

class OVLabel;
class OVOptionalDayPicker;
class OVStepper;
class OVTextArea;
class OVTextField;
class QComboBox;
class QNChromeButton;
class QScrollArea;
class QVBoxLayout;
class ReferenceLibrary;

class PlantEditor : public OVRecordEditor {
    Q_OBJECT
public:
    PlantEditor(const Plant& item, OVStore& store, QWidget* parent = nullptr);

    const Plant& item() const { return m_item; }
    const QList<Photo>& photos() const { return m_photos; }
    // The library crop the plant is linked to; nothing for "None" or an unknown id.
    std::optional<RefCrop> ref() const;

    // The frame's Save: stores the plant and closes the sheet, or shows why not.
    void save() override;
    // "Fill From Crop Library": the expected harvest day from the linked crop.
    void fill();
    // "Add Photo…": asks for a picture file and stores it scaled down at once.
    void addPhoto();
    // A tile's "Remove": deletes the photo at once, without a question.
    void removePhoto(qint64 photoID);
    // "Delete This Plant…": closes the sheet, then asks before deleting.
    void askDelete() override;

    // The user's choices in the pickers, with their reactions.
    void chooseRefCrop(const QString& id);
    void chooseGreenhouse(std::optional<qint64> id);
    void chooseZone(std::optional<qint64> id);
    void chooseSpot(std::optional<qint64> id);

    // For tests: the controls.
    OVTextField* cropField() const { return m_crop; }
    QComboBox* matchPicker() const { return m_match; }
    OVLabel* libraryLine() const { return m_libraryLine; }
    QComboBox* greenhousePicker() const { return m_greenhouse; }
    QComboBox* zonePicker() const { return m_zone; }
    QComboBox* spotPicker() const { return m_spot; }
    OVOptionalDayPicker* sowPicker() const { return m_sow; }
    OVOptionalDayPicker* harvestPicker() const { return m_harvest; }
    QNChromeButton* fillButton() const { return m_fill; }
    QNChromeButton* deleteButton() const { return m_delete; }
    QWidget* photoStrip() const { return m_stripContent; }
    // True while photo pictures are still being decoded for the strip.
    bool decodingPhotos() const;

private:
    QWidget* buildDatesCard();
    QWidget* buildPlaceCard();
    void showItem();
    void showLibrary();
    void showPlaces();
    void showPhotos();
    void reloadPhotos();

    Plant m_item;
    QList<Photo> m_photos;
    const ReferenceLibrary& m_lib;

    OVTextField* m_crop = nullptr;
    QComboBox* m_match = nullptr;
    OVLabel* m_libraryLine = nullptr;
    OVTextField* m_variety = nullptr;
    OVTextField* m_source = nullptr;
    QComboBox* m_status = nullptr;
    OVStepper* m_quantity = nullptr;
    OVOptionalDayPicker* m_sow = nullptr;
    OVOptionalDayPicker* m_transplant = nullptr;
    OVOptionalDayPicker* m_harvest = nullptr;
    QNChromeButton* m_fill = nullptr;
    QComboBox* m_greenhouse = nullptr;
    QComboBox* m_zone = nullptr;
    QComboBox* m_spot = nullptr;
    OVTextArea* m_notes = nullptr;
    QVBoxLayout* m_photoBody = nullptr;
    QScrollArea* m_strip = nullptr;
    QWidget* m_stripContent = nullptr;
    QNChromeButton* m_delete = nullptr;
    // The decoding of the strip now shown; an older strip's results are ignored.
    QFutureWatcher<QImage>* m_decoding = nullptr;
    QList<class PlantPhotoTile*> m_tiles;
    int m_waiting = 0; // tiles still without their decoded picture
};
