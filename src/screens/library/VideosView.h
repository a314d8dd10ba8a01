#pragma once
// The Video Library screen: the reference library's grow videos as cards in an
// adaptive grid, narrowed by topic (kept in the app model, so it outlives the screen)
// and by a search over title and channel (kept by the screen, so it starts empty each
// time the screen is built). Watching hands the video's address to the browser and
// needs the network; offline, a banner says so and every watch button is disabled.

#include <QWidget>

class AppModel;
class NetStatus;
class OVPage;
class QComboBox;
class QNSearchField;
class QVBoxLayout;
class OVRebuilder;
class ReferenceLibrary;
struct GrowVideo;

class VideosView : public QWidget {
    Q_OBJECT
public:
    explicit VideosView(QWidget* parent = nullptr);
    VideosView(AppModel& model, NetStatus& net, const ReferenceLibrary& library, QWidget* parent = nullptr);

    // The videos the current topic and search let through, in library order.
    QList<GrowVideo> visibleVideos() const;
    QNSearchField* searchField() const { return m_search; }
    QComboBox* topicPicker() const { return m_topic; }
    OVRebuilder* rebuilder() const { return m_rebuilder; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void rebuild();
    void fillTopics();
    QWidget* card(const GrowVideo& video, bool online);

    AppModel& m_model;
    NetStatus& m_net;
    const ReferenceLibrary& m_lib;
    OVPage* m_page = nullptr;
    QWidget* m_banner = nullptr;
    QComboBox* m_topic = nullptr;
    QNSearchField* m_search = nullptr;
    QWidget* m_grid = nullptr;
    QVBoxLayout* m_gridHolder = nullptr;
    OVRebuilder* m_rebuilder = nullptr;
};
