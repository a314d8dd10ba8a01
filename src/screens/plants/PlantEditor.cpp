#include "screens/plants/PlantEditor.h"

#include "kit/KitMetrics.h"
#include "kit/OVCard.h"
#include "kit/OVColors.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVField.h"
#include "kit/OVLabel.h"
#include "kit/OVOptionalDayPicker.h"
#include "kit/OVStepper.h"
#include "kit/OVTextArea.h"
#include "kit/OVTextField.h"
#include "kit/QNChromeButton.h"
#include "screens/plants/PlantPhotoTile.h"
#include "services/AppModel.h"
#include "services/FilePanels.h"
#include "services/PhotoTools.h"
#include "services/ReferenceLibrary.h"
#include "services/WholeNumber.h"
#include "store/OVStore.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentMap>
#include <utility>
#include <algorithm>
#include <climits>

namespace {

const QString deleteDetail =
    QStringLiteral("Its photos are deleted too. Harvests and costs stay (they keep the crop name).");
const QString none = QStringLiteral("—");

// Selects the row holding `id` (the "—" row for nothing); no row when the id is not
// offered, as for a place deleted while the sheet is open.
void selectID(QComboBox* box, std::optional<qint64> id)
{
    box->setCurrentIndex(id ? box->findData(*id) : 0);
}

std::optional<qint64> idAt(const QComboBox* box, int index)
{
    const QVariant data = box->itemData(index);
    return data.isValid() ? std::optional<qint64>(data.toLongLong()) : std::nullopt;
}

QLabel* pickerLabel(const QString& text)
{
    return new OVLabel(text, 13);
}

} // namespace

PlantEditor::PlantEditor(const Plant& item, OVStore& store, QWidget* parent)
    : OVRecordEditor(store, QString(), QStringLiteral("leaf.fill"), 700, parent), m_item(item),
      m_lib(ReferenceLibrary::shared())
{
    // Opening: the stored plant's photos, then a library link proposed from the crop.
    if (m_item.id != 0)
        m_photos = store.photos(m_item.id);
    if (m_item.refCropID.isEmpty())
        if (const auto match = m_lib.match(m_item.crop))
            m_item.refCropID = match->id;

    QVBoxLayout* body = form();
    const OVColors colors;

    // Crop and library match, aligned on their bottom edges.
    auto* cropRow = new QHBoxLayout;
    cropRow->setSpacing(KitMetrics::px(12));
    m_crop = new OVTextField(QStringLiteral("Tomato"), m_item.crop);
    cropRow->addWidget(new OVField(QStringLiteral("Crop"), m_crop), 1, Qt::AlignBottom);
    m_match = new QComboBox;
    m_match->setAccessibleName(QStringLiteral("Crop Library match"));
    m_match->setFixedWidth(KitMetrics::px(230));
    m_match->addItem(QStringLiteral("None"), QString());
    for (const RefCrop& crop : m_lib.crops())
        m_match->addItem(crop.name, crop.id);
    cropRow->addWidget(new OVField(QStringLiteral("Crop Library match"), m_match), 0, Qt::AlignBottom);
    body->addLayout(cropRow);

    m_libraryLine = new OVLabel(QString(), 11.5, QFont::Normal, colors.dim());
    m_libraryLine->setWrapping(true);
    body->addWidget(m_libraryLine);

    auto* varietyRow = new QHBoxLayout;
    varietyRow->setSpacing(KitMetrics::px(12));
    m_variety = new OVTextField(QStringLiteral("Celebrity"), m_item.variety);
    m_source = new OVTextField(QStringLiteral("Seed company, nursery, saved seed…"), m_item.source);
    varietyRow->addWidget(new OVField(QStringLiteral("Variety"), m_variety), 1, Qt::AlignVCenter);
    varietyRow->addWidget(new OVField(QStringLiteral("Seed / plant source"), m_source), 1, Qt::AlignVCenter);
    body->addLayout(varietyRow);

    auto* statusRow = new QHBoxLayout;
    statusRow->setSpacing(KitMetrics::px(12));
    m_status = new QComboBox;
    m_status->setAccessibleName(QStringLiteral("Status"));
    m_status->setFixedWidth(KitMetrics::px(170));
    for (PlantStatus status : PlantStatus::allCases())
        m_status->addItem(status.name(), status.rawValue());
    m_status->setCurrentIndex(m_status->findData(m_item.status.rawValue()));
    statusRow->addWidget(new OVField(QStringLiteral("Status"), m_status), 0, Qt::AlignVCenter);
    m_quantity = new OVStepper(0, 100000, 1);
    // A stored count beyond what the stepper can hold is shown at its limit but kept
    // in the record until the user steps.
    m_quantity->setValue(int(std::clamp<qint64>(m_item.quantity, INT_MIN, INT_MAX)));
    statusRow->addWidget(new OVField(QStringLiteral("Number of plants"), m_quantity), 0, Qt::AlignVCenter);
    statusRow->addStretch(1);
    body->addLayout(statusRow);

    body->addWidget(buildDatesCard());
    body->addWidget(buildPlaceCard());

    m_notes = new OVTextArea(m_item.notes);
    body->addWidget(new OVField(QStringLiteral("Notes"), m_notes));

    auto* photoCard = new OVCard(QStringLiteral("Photos"), QStringLiteral("photo.on.rectangle.angled"), 12);
    m_photoBody = photoCard->body();
    body->addWidget(photoCard);

    if (m_item.id != 0)
        m_delete = addDeleteButton(QStringLiteral("Delete This Plant…"));
    body->addStretch(1);

    connect(m_crop, &QLineEdit::textChanged, this, [this](const QString& text) { m_item.crop = text; });
    connect(m_variety, &QLineEdit::textChanged, this, [this](const QString& text) { m_item.variety = text; });
    connect(m_source, &QLineEdit::textChanged, this, [this](const QString& text) { m_item.source = text; });
    connect(m_notes, &QPlainTextEdit::textChanged, this, [this] { m_item.notes = m_notes->text(); });
    connect(m_match, &QComboBox::activated, this,
            [this](int index) { chooseRefCrop(m_match->itemData(index).toString()); });
    connect(m_status, &QComboBox::activated, this, [this](int index) {
        if (const auto status = PlantStatus::fromRaw(m_status->itemData(index).toString()))
            m_item.status = *status;
    });
    connect(m_quantity, &OVStepper::changed, this, [this] { m_item.quantity = m_quantity->value(); });
    // The place lists follow changes made elsewhere while the sheet is open.
    connect(&store, &OVStore::revisionChanged, this, &PlantEditor::showPlaces);

    showItem();
    showPhotos();
}

QWidget* PlantEditor::buildDatesCard()
{
    auto* card = new OVCard(QStringLiteral("Dates"), QStringLiteral("calendar"), 12);
    m_sow = new OVOptionalDayPicker(QStringLiteral("Sown"), m_item.sowDate);
    m_transplant = new OVOptionalDayPicker(QStringLiteral("Transplanted"), m_item.transplantDate);
    m_harvest = new OVOptionalDayPicker(QStringLiteral("Expected harvest"), m_item.expectedHarvest);
    card->body()->addWidget(m_sow);
    card->body()->addWidget(m_transplant);
    auto* harvestRow = new QHBoxLayout;
    harvestRow->addWidget(m_harvest, 0, Qt::AlignVCenter);
    harvestRow->addStretch(1);
    m_fill = new QNChromeButton(QStringLiteral("Fill From Crop Library"), false, true);
    harvestRow->addWidget(m_fill, 0, Qt::AlignVCenter);
    card->body()->addLayout(harvestRow);
    connect(m_sow, &OVOptionalDayPicker::changed, this, [this] { m_item.sowDate = m_sow->day(); });
    connect(m_transplant, &OVOptionalDayPicker::changed, this,
            [this] { m_item.transplantDate = m_transplant->day(); });
    connect(m_harvest, &OVOptionalDayPicker::changed, this, [this] { m_item.expectedHarvest = m_harvest->day(); });
    connect(m_fill, &QPushButton::clicked, this, &PlantEditor::fill);
    return card;
}

QWidget* PlantEditor::buildPlaceCard()
{
    auto* card = new OVCard(QStringLiteral("Where it grows"), QStringLiteral("mappin.and.ellipse"), 12);
    auto* row = new QHBoxLayout;
    row->setSpacing(KitMetrics::px(10));
    m_greenhouse = new QComboBox;
    m_greenhouse->setAccessibleName(QStringLiteral("Greenhouse"));
    m_zone = new QComboBox;
    m_zone->setAccessibleName(QStringLiteral("Zone"));
    row->addWidget(pickerLabel(QStringLiteral("Greenhouse")), 0, Qt::AlignVCenter);
    row->addWidget(m_greenhouse, 1, Qt::AlignVCenter);
    row->addWidget(pickerLabel(QStringLiteral("Zone")), 0, Qt::AlignVCenter);
    row->addWidget(m_zone, 1, Qt::AlignVCenter);
    card->body()->addLayout(row);
    auto* spotRow = new QHBoxLayout;
    spotRow->setSpacing(KitMetrics::px(10));
    m_spot = new QComboBox;
    m_spot->setAccessibleName(QStringLiteral("Bed / bench"));
    m_spot->setMaximumWidth(KitMetrics::px(320));
    m_spot->setMinimumWidth(KitMetrics::px(160));
    spotRow->addWidget(pickerLabel(QStringLiteral("Bed / bench")), 0, Qt::AlignVCenter);
    spotRow->addWidget(m_spot, 1, Qt::AlignVCenter);
    spotRow->addStretch(1);
    card->body()->addLayout(spotRow);
    connect(m_greenhouse, &QComboBox::activated, this,
            [this](int index) { chooseGreenhouse(idAt(m_greenhouse, index)); });
    connect(m_zone, &QComboBox::activated, this, [this](int index) { chooseZone(idAt(m_zone, index)); });
    connect(m_spot, &QComboBox::activated, this, [this](int index) { chooseSpot(idAt(m_spot, index)); });
    return card;
}

std::optional<RefCrop> PlantEditor::ref() const { return m_lib.crop(m_item.refCropID); }

void PlantEditor::showItem()
{
    frame()->setTitle(m_item.id == 0 ? QStringLiteral("New Plant") : QStringLiteral("Edit Plant"));
    showLibrary();
    showPlaces();
}

void PlantEditor::showLibrary()
{
    const QSignalBlocker blocker(m_match);
    m_match->setCurrentIndex(m_match->findData(m_item.refCropID));
    const auto crop = ref();
    m_libraryLine->setVisible(crop.has_value());
    if (crop)
        m_libraryLine->setText(QStringLiteral("Library: ") + crop->maturityText() + QStringLiteral(". ") +
                               crop->growTemps);
    m_fill->setEnabled(crop && crop->maturityLow.has_value());
}

void PlantEditor::showPlaces()
{
    const QSignalBlocker b1(m_greenhouse);
    const QSignalBlocker b2(m_zone);
    const QSignalBlocker b3(m_spot);
    m_greenhouse->clear();
    m_greenhouse->addItem(none);
    for (const Greenhouse& house : store().greenhouses())
        m_greenhouse->addItem(house.name, house.id);
    selectID(m_greenhouse, m_item.greenhouseID);
    m_zone->clear();
    m_zone->addItem(none);
    for (const Zone& zone : store().zones(m_item.greenhouseID))
        m_zone->addItem(zone.name, zone.id);
    selectID(m_zone, m_item.zoneID);
    m_spot->clear();
    m_spot->addItem(none);
    if (m_item.zoneID)
        for (const Spot& spot : store().spots(*m_item.zoneID))
            m_spot->addItem(spot.kind.name() + QLatin1Char(' ') + spot.name, spot.id);
    selectID(m_spot, m_item.spotID);
}

void PlantEditor::chooseRefCrop(const QString& id)
{
    m_item.refCropID = id;
    // Only spaces and tabs count as blank here; a line break is text.
    if (WholeNumber::trimBlanks(m_item.crop).isEmpty())
        if (const auto chosen = m_lib.crop(id)) {
            m_item.crop = chosen->name;
            const QSignalBlocker blocker(m_crop);
            m_crop->setText(m_item.crop);
        }
    showLibrary();
}

void PlantEditor::chooseGreenhouse(std::optional<qint64> id)
{
    m_item.greenhouseID = id;
    if (m_item.zoneID) {
        const auto zone = store().get<Zone>(m_item.zoneID);
        const std::optional<qint64> zoneHouse = zone ? std::optional<qint64>(zone->greenhouseID) : std::nullopt;
        if (zoneHouse != id) {
            m_item.zoneID = std::nullopt;
            m_item.spotID = std::nullopt;
        }
    }
    showPlaces();
}

void PlantEditor::chooseZone(std::optional<qint64> id)
{
    m_item.zoneID = id;
    if (m_item.spotID) {
        const auto spot = store().get<Spot>(m_item.spotID);
        const std::optional<qint64> spotZone = spot ? std::optional<qint64>(spot->zoneID) : std::nullopt;
        if (spotZone != id)
            m_item.spotID = std::nullopt;
    }
    showPlaces();
}

void PlantEditor::chooseSpot(std::optional<qint64> id)
{
    m_item.spotID = id;
    showPlaces();
}

void PlantEditor::fill()
{
    const auto crop = ref();
    if (crop)
        if (const auto day = crop->expectedHarvest(m_item.sowDate, m_item.transplantDate)) {
            m_item.expectedHarvest = day;
            m_harvest->setDay(day);
            setError(std::nullopt);
            return;
        }
    setError(crop ? QStringLiteral("Enter a sowing or transplant date first.")
                  : QStringLiteral("Choose a Crop Library match first."));
}

void PlantEditor::save()
{
    setError(std::nullopt);
    Plant copy = m_item;
    const std::optional<QString> failure = store(copy);
    m_item = copy;
    if (failure) {
        {
            const QSignalBlocker blocker(m_crop);
            m_crop->setText(m_item.crop);
        }
        showItem();
        setError(failure);
        return;
    }
    closeSheet(); // may end this editor: nothing after it
}

void PlantEditor::askDelete()
{
    closeAndAskDelete<Plant>(QStringLiteral("“") + m_item.displayName() + QStringLiteral("”"), deleteDetail,
                             m_item.id);
}

void PlantEditor::showPhotos()
{
    if (m_item.id == 0) {
        m_photoBody->addWidget(new OVLabel(QStringLiteral("Save the plant first, then add photos."), 12,
                                           QFont::Normal, OVColors().dim()));
        return;
    }
    if (!m_strip) {
        m_strip = new QScrollArea;
        m_strip->setFrameShape(QFrame::NoFrame);
        m_strip->setWidgetResizable(false);
        m_strip->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        m_strip->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_strip->setAutoFillBackground(false);
        m_strip->viewport()->setAutoFillBackground(false);
        m_photoBody->addWidget(m_strip);
    }
    auto* content = new QWidget;
    auto* row = new QHBoxLayout(content);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(KitMetrics::px(10));
    // Decoding is most of the cost of a long strip: the tiles wait for their pictures,
    // which workers decode side by side.
    if (m_decoding) {
        m_decoding->disconnect(this);
        m_decoding->cancel();
        m_decoding->deleteLater();
        m_decoding = nullptr;
    }
    m_tiles.clear();
    m_waiting = int(m_photos.size());
    for (const Photo& photo : std::as_const(m_photos)) {
        auto* tile = PlantPhotoTile::waiting(photo);
        row->addWidget(tile, 0, Qt::AlignVCenter);
        connect(tile, &PlantPhotoTile::removeRequested, this, &PlantEditor::removePhoto);
        m_tiles.append(tile);
    }
    if (!m_photos.isEmpty()) {
        const QSize frame = PlantPhotoTile::frameSize();
        // The worker holds its own copy of the photos (their bytes are shared, not copied).
        m_decoding = new QFutureWatcher<QImage>(this);
        QFutureWatcher<QImage>* watcher = m_decoding;
        connect(watcher, &QFutureWatcherBase::resultsReadyAt, this, [this, watcher](int begin, int end) {
            for (int i = begin; i < end && i < m_tiles.size(); ++i) {
                m_tiles[i]->setPicture(watcher->resultAt(i));
                --m_waiting;
            }
        });
        watcher->setFuture(QtConcurrent::mapped(QList<Photo>(m_photos), [frame](const Photo& photo) {
            return PlantPhotoTile::thumbnail(photo.data, frame);
        }));
    }
    auto* add = new QNChromeButton(QStringLiteral("Add Photo…"), false, true);
    add->setSymbol(QStringLiteral("plus"));
    row->addWidget(add, 0, Qt::AlignVCenter);
    connect(add, &QPushButton::clicked, this, &PlantEditor::addPhoto);
    content->adjustSize();

    // The old strip may hold the button whose click got us here: let it go later.
    if (QWidget* old = m_strip->takeWidget())
        old->deleteLater();
    m_strip->setWidget(content);
    content->setAutoFillBackground(false); // setWidget turns it on; the card shows through
    m_stripContent = content;
    m_strip->setFixedHeight(content->height() + m_strip->horizontalScrollBar()->sizeHint().height());
}

bool PlantEditor::decodingPhotos() const { return m_waiting > 0; }

void PlantEditor::reloadPhotos()
{
    m_photos = store().photos(m_item.id);
    showPhotos();
}

void PlantEditor::addPhoto()
{
    const auto path = FilePanels::open({FileType::image()}, QStringLiteral("Choose a photo of this plant"));
    if (!path)
        return;
    // The open database and its side files are never read outside the engine.
    const auto data = store().isOwnFile(*path) ? std::nullopt : PhotoTools::jpeg(*path);
    if (!data) {
        setError(PhotoTools::notAPictureMessage);
        return;
    }
    Photo photo;
    photo.plantID = m_item.id;
    photo.data = *data;
    photo.caption = QFileInfo(*path).completeBaseName();
    photo.added = QDateTime::currentDateTimeUtc();
    if (AppModel::shared().act([this, &photo] { store().save(photo); }))
        reloadPhotos();
}

void PlantEditor::removePhoto(qint64 photoID)
{
    AppModel::shared().act([this, photoID] { store().remove<Photo>(photoID); });
    reloadPhotos();
}
