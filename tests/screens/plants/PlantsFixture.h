#pragma once
// A scratch store shared as OVStore::shared(), optionally holding the sample
// greenhouse, with the app model's sheet, question and notice cleared, and file
// panels that answer from the test instead of asking.

#include "AppModelReset.h"
#include "TestSupport.h"
#include "services/AppModel.h"
#include "services/FilePanels.h"
#include "services/SampleData.h"
#include "store/OVStore.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

class PlantsFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_unique<OVStore>(scratch.file(QStringLiteral("Greenhouse.sqlite")));
        OVStore::setShared(store.get());
        savedPanels = FilePanels::backend();
        FilePanels::backend().open = [this](const QList<FileType>&, const QString& message) {
            openMessage = message;
            return openAnswer;
        };
        FilePanels::backend().save = [this](const QString& name, const QList<FileType>&) -> std::optional<QString> {
            savedName = name;
            return scratch.file(name);
        };
        FilePanels::backend().reveal = [](const QString&) {};
        resetModel();
    }

    void TearDown() override
    {
        resetModel();
        FilePanels::backend() = savedPanels;
        OVStore::setShared(nullptr);
        store.reset();
    }

    static void resetModel()
    {
        AppModel& model = AppModel::shared();
        testsupport::closeSheetAndAlerts(model);
    }

    void addSample() { SampleData::add(*store); }

    // Presses "Delete" on the pending question.
    static void confirm()
    {
        auto request = AppModel::shared().confirm();
        ASSERT_TRUE(request.has_value());
        AppModel::shared().setConfirm(std::nullopt);
        request->action();
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }

    testsupport::ScratchDir scratch;
    std::unique_ptr<OVStore> store;
    FilePanels::Backend savedPanels;
    std::optional<QString> openAnswer;
    QString openMessage;
    QString savedName;
};
