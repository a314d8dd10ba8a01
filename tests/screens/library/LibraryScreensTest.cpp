// The Video Library and Crop Library screens over fixture libraries: filters, the
// offline state, the kept choices, the crop facts in the user's unit and "Start a
// Planting".

#include "kit/OVEmpty.h"
#include "kit/OVLabel.h"
#include "kit/QNChromeButton.h"
#include "kit/OVRebuilder.h"
#include "kit/QNSearchField.h"
#include "records/OVPrefs.h"
#include "screens/library/CropDetail.h"
#include "screens/library/LibraryView.h"
#include "screens/library/VideosView.h"
#include "services/AppModel.h"
#include "services/NetStatus.h"
#include "services/Opener.h"
#include "services/VideoAccess.h"
#include "services/ReferenceLibrary.h"
#include "store/OVStore.h"
#include "TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using testsupport::ScratchDir;

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A data folder with the shipped crops and sources and three videos (one rejected).
class FixtureLibrary {
public:
    FixtureLibrary()
    {
        for (const QString& name : {ReferenceLibrary::cropsFile, ReferenceLibrary::sourcesFile})
            QFile::copy(QStringLiteral(ORVANE_SOURCE_DATA_DIR "/") + name, m_dir.file(name));
        writeFile(m_dir.file(ReferenceLibrary::videosFile),
                  "id,title,channel,channel_url,published,seconds,topic,url,checked\n"
                  "v1,pruning tomatoes,Garden Extension,,2024-03-01,3725,Tomatoes,"
                  "https://www.youtube.com/watch?v=v1,2026-12-06\n"
                  "v2,Vent Openers Explained,Greenhouse Basics,,2023-07-15,59,Structure,"
                  "https://www.youtube.com/watch?v=v2,2026-12-06\n"
                  "bad,No address,Someone,,2023-07-15,59,Structure,ftp://example.org/x,2026-12-06\n");
        library = std::make_unique<ReferenceLibrary>(m_dir.path());
    }
    std::unique_ptr<ReferenceLibrary> library;

private:
    ScratchDir m_dir;
};

template <typename T>
QStringList texts(QWidget* root)
{
    QStringList out;
    for (T* w : root->findChildren<T*>())
        if (w->isVisibleTo(root))
            out << w->text();
    return out;
}

// Lets widgets thrown away by a rebuild go.
void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QList<QNChromeButton*> buttonsTitled(QWidget* root, const QString& title)
{
    flushDeletes();
    QList<QNChromeButton*> out;
    for (QNChromeButton* b : root->findChildren<QNChromeButton*>())
        if (b->title() == title)
            out << b;
    return out;
}

class LibraryScreens : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppModel::shared().setVideoTopic(QStringLiteral("All"));
        AppModel::shared().setLibraryCropID(std::nullopt);
        AppModel::shared().setSheet(std::nullopt);
        AppModel::shared().clearMessage();
    }
    void TearDown() override
    {
        NetStatus::override.reset();
        Opener::open = Opener::openInSystem;
        OVPrefs::setValue(QStringLiteral("ov.tempUnit"), QStringLiteral("F"));
    }
    FixtureLibrary fixture;
};

} // namespace

TEST_F(LibraryScreens, VideosFilterByTopicAndSearchAndKeepTheTopic)
{
    NetStatus::override = true;
    auto view = std::make_unique<VideosView>(AppModel::shared(), NetStatus::shared(), *fixture.library);
    ASSERT_EQ(view->visibleVideos().size(), 2);

    // A topic picked in the picker lands in the app model and filters exactly.
    const int index = view->topicPicker()->findText(QStringLiteral("Structure"));
    ASSERT_GE(index, 0);
    emit view->topicPicker()->activated(index);
    EXPECT_EQ(AppModel::shared().videoTopic(), QStringLiteral("Structure"));
    ASSERT_EQ(view->visibleVideos().size(), 1);
    EXPECT_EQ(view->visibleVideos().first().id, QStringLiteral("v2"));

    // A rebuilt screen keeps the topic and starts with an empty search.
    view->searchField()->setText(QStringLiteral("vent"));
    view = std::make_unique<VideosView>(AppModel::shared(), NetStatus::shared(), *fixture.library);
    EXPECT_EQ(view->topicPicker()->currentText(), QStringLiteral("Structure"));
    EXPECT_TRUE(view->searchField()->text().isEmpty());

    // Search ignores case and spans title and channel.
    AppModel::shared().setVideoTopic(QStringLiteral("All"));
    view->searchField()->setText(QStringLiteral("PRUNING"));
    EXPECT_EQ(view->visibleVideos().size(), 1);
    view->searchField()->setText(QStringLiteral("tomatoes Garden"));
    EXPECT_EQ(view->visibleVideos().size(), 1);
    view->searchField()->setText(QStringLiteral("greenhouse basics"));
    EXPECT_EQ(view->visibleVideos().size(), 1);
    view->searchField()->setText(QStringLiteral(" "));
    EXPECT_EQ(view->visibleVideos().size(), 2);
    view->searchField()->setText(QStringLiteral("nothing like this"));
    EXPECT_TRUE(view->visibleVideos().isEmpty());
}

TEST_F(LibraryScreens, VideosOfflineShowTheBannerAndDisableWatching)
{
    NetStatus::override = false;
    VideosView view(AppModel::shared(), NetStatus::shared(), *fixture.library);
    view.rebuilder()->rebuildNow();
    EXPECT_TRUE(texts<QLabel>(&view).contains(VideoAccess::offlineMessage));
    const auto offline = buttonsTitled(&view, QStringLiteral("Needs internet"));
    ASSERT_EQ(offline.size(), 2);
    for (QNChromeButton* b : offline)
        EXPECT_FALSE(b->isEnabled());
    EXPECT_TRUE(buttonsTitled(&view, QStringLiteral("Watch on YouTube")).isEmpty());
    EXPECT_TRUE(texts<QLabel>(&view).contains(QStringLiteral("1:02:05")));
    EXPECT_TRUE(texts<QLabel>(&view).contains(QStringLiteral("0:59")));

    // Back online: the banner goes and Watch hands the https address to the opener.
    QList<QUrl> opened;
    Opener::open = [&opened](const QUrl& url) { opened << url; };
    NetStatus::override = true;
    view.rebuilder()->rebuildNow();
    QApplication::processEvents();
    EXPECT_FALSE(texts<QLabel>(&view).contains(VideoAccess::offlineMessage));
    const auto watch = buttonsTitled(&view, QStringLiteral("Watch on YouTube"));
    ASSERT_EQ(watch.size(), 2);
    watch.first()->click();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first(), QUrl(QStringLiteral("https://www.youtube.com/watch?v=v1")));

    // The network gone between render and click: nothing opens, the notice says why.
    NetStatus::override = false;
    watch.last()->click();
    EXPECT_EQ(opened.size(), 1);
    EXPECT_EQ(AppModel::shared().message(), VideoAccess::offlineMessage);
}

TEST_F(LibraryScreens, CropLibraryShowsTheChosenOrFirstCrop)
{
    LibraryView view(AppModel::shared(), *fixture.library);
    const QList<RefCrop>& crops = fixture.library->crops();
    ASSERT_GT(crops.size(), 2);
    ASSERT_TRUE(view.shownCrop());
    EXPECT_EQ(view.shownCrop()->id, crops.first().id);
    EXPECT_FALSE(AppModel::shared().libraryCropID());

    // A chosen crop stays shown while a search hides it from the list.
    AppModel::shared().setLibraryCropID(crops.at(2).id);
    view.searchField()->setText(crops.first().name);
    view.rebuilder()->rebuildNow();
    EXPECT_EQ(view.shownCrop()->id, crops.at(2).id);

    // Nothing chosen and nothing found: "No match".
    AppModel::shared().setLibraryCropID(std::nullopt);
    view.searchField()->setText(QStringLiteral("zzzz"));
    view.rebuilder()->rebuildNow();
    QApplication::processEvents();
    EXPECT_FALSE(view.shownCrop());
    EXPECT_TRUE(texts<QLabel>(&view).contains(QStringLiteral("No match")));
    EXPECT_TRUE(texts<QLabel>(&view).contains(QStringLiteral("Try another name.")));

    // An id the library does not hold counts as no choice.
    AppModel::shared().setLibraryCropID(QStringLiteral("no-such-crop"));
    view.searchField()->setText(QString());
    EXPECT_EQ(view.shownCrop()->id, crops.first().id);
}

TEST_F(LibraryScreens, CropFactsFollowTheUnitAndTheBasis)
{
    RefCrop crop;
    crop.growLow = 70;
    crop.growHigh = 80;
    crop.growBasis = QStringLiteral("day");
    crop.nightLow = 60;
    crop.nightHigh = 65;
    EXPECT_EQ(CropDetail::growingText(crop), QStringLiteral("70°F to 80°F days · nights 60°F to 65°F"));
    crop.growHigh = 70;
    crop.growBasis = QStringLiteral("Day");
    crop.nightLow.reset();
    EXPECT_EQ(CropDetail::growingText(crop), QStringLiteral("70°F preferred range"));
    crop.growHigh.reset();
    crop.growBasis = QStringLiteral("mean");
    EXPECT_EQ(CropDetail::growingText(crop), QStringLiteral("70°F+ average (mean)"));
    crop.growLow.reset();
    crop.nightLow = 50;
    EXPECT_EQ(CropDetail::growingText(crop), QStringLiteral("No number given in the sources"));

    EXPECT_EQ(CropDetail::soilText(crop), QStringLiteral("No number given in the sources"));
    crop.germMin = 50;
    crop.germMax = 95;
    EXPECT_EQ(CropDetail::soilText(crop), QStringLiteral("min 50°F · max 95°F"));

    OVPrefs::setValue(QStringLiteral("ov.tempUnit"), QStringLiteral("C"));
    crop.growLow = 65;
    crop.growHigh = 65;
    EXPECT_EQ(CropDetail::growingText(crop).toStdString(), "18.3°C average (mean) · nights 10°C to 18.3°C");
}

TEST_F(LibraryScreens, CropDetailListsEachSourceOnceAndStartsAPlantingWithoutStoring)
{
    ScratchDir dir;
    OVStore store(dir.file(QStringLiteral("s.sqlite")));
    OVStore::setShared(&store);
    const ReferenceLibrary& lib = *fixture.library;
    std::optional<RefCrop> shared;
    for (const RefCrop& c : lib.crops())
        if (c.allSourceKeys().size() < c.tempSources.size() + c.germSources.size() + c.spacingSources.size() +
                                           c.maturitySources.size())
            shared = c;
    ASSERT_TRUE(shared) << "no crop cites a source twice";

    CropDetail detail(*shared, AppModel::shared(), lib);
    const QStringList labels = texts<QLabel>(&detail);
    for (const QString& key : shared->allSourceKeys()) {
        const RefSource& source = lib.sources().value(key);
        EXPECT_EQ(labels.count(source.url.toString() + QStringLiteral(" · checked ") + source.checked), 1) << key.toStdString();
    }
    EXPECT_EQ(CropDetail::sourceLine({shared->tempSources.first(), QStringLiteral("unknown-key")}, lib),
              QStringLiteral("Source: ") + lib.sources().value(shared->tempSources.first()).shortLabel() +
                  QStringLiteral(", unknown-key"));
    EXPECT_EQ(CropDetail::sourceLine({}, lib), QStringLiteral("Source: "));

    const auto start = detail.findChildren<QNChromeButton*>();
    auto it = std::find_if(start.begin(), start.end(),
                           [](QNChromeButton* b) { return b->title() == QStringLiteral("Start a Planting"); });
    ASSERT_NE(it, start.end());
    (*it)->click();
    ASSERT_TRUE(AppModel::shared().sheet());
    const Plant* plant = AppModel::shared().sheet()->get<Plant>();
    ASSERT_NE(plant, nullptr);
    EXPECT_EQ(plant->id, 0);
    EXPECT_EQ(plant->crop, shared->name);
    EXPECT_EQ(plant->refCropID, shared->id);
    EXPECT_EQ(plant->sowDate, OVDay::today());
    EXPECT_FALSE(plant->expectedHarvest);
    EXPECT_EQ(plant->status, PlantStatus::planned);
    EXPECT_EQ(store.plants().size(), 0);
    OVStore::setShared(nullptr);
}
