#pragma once
// A scratch store shared as OVStore::shared(), a clean app model and file panels
// that answer with a scratch path, for the pests, harvests and supplies tests.

#include "AppModelReset.h"
#include "TestSupport.h"

#include "kit/OVLabel.h"
#include "services/AppModel.h"
#include "services/FilePanels.h"
#include "store/OVStore.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace recordstest {

// Lets deferred rebuilds, layouts and deletions run.
inline void settleEvents()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Every plain label text under a widget, in creation order.
inline QStringList labelTexts(const QWidget* root)
{
    QStringList out;
    if (root)
        for (const OVLabel* label : root->findChildren<OVLabel*>())
            out.append(label->text());
    return out;
}

// Chooses the row of a combo box as the user would (activated fires).
inline void pick(QComboBox* box, const QVariant& data)
{
    const int index = box->findData(data);
    ASSERT_GE(index, 0);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

class RecordsFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_unique<OVStore>(dir.file(QStringLiteral("records.sqlite")));
        OVStore::setShared(store.get());
        AppModel& model = AppModel::shared();
        testsupport::closeSheetAndAlerts(model);
        savedPanels = FilePanels::backend();
        FilePanels::backend().save = [this](const QString& name, const QList<FileType>&) -> std::optional<QString> {
            suggested = name;
            return dir.file(QStringLiteral("export.csv"));
        };
        FilePanels::backend().reveal = [](const QString&) {};
    }

    void TearDown() override
    {
        FilePanels::backend() = savedPanels;
        AppModel::shared().setSheet(std::nullopt);
        AppModel::shared().setConfirm(std::nullopt);
        OVStore::setShared(nullptr);
        store.reset();
    }

    template <typename T>
    T add(T record)
    {
        store->save(record);
        return record;
    }

    // The lines of the exported file, without the trailing empty one.
    QStringList exportedLines() const
    {
        QStringList lines = QString::fromUtf8(testsupport::readAll(dir.file(QStringLiteral("export.csv"))))
                                .split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    // Presses the editor's delete button and checks the question it leaves.
    static void expectDeleteQuestion(const QString& name)
    {
        AppModel& model = AppModel::shared();
        EXPECT_FALSE(model.sheet().has_value()) << "the sheet closes before the question";
        ASSERT_TRUE(model.confirm().has_value());
        EXPECT_EQ(model.confirm()->title, QStringLiteral("Delete ") + name + QStringLiteral("?"));
        EXPECT_EQ(model.confirm()->message,
                  QStringLiteral("This can't be undone (a backup made earlier can bring it back)."));
        EXPECT_EQ(model.confirm()->button, QStringLiteral("Delete"));
    }

    static void settle() { settleEvents(); }

    testsupport::ScratchDir dir;
    std::unique_ptr<OVStore> store;
    FilePanels::Backend savedPanels;
    QString suggested;
};

} // namespace recordstest
