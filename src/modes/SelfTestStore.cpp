#include "modes/SelfTestStore.h"

#include <QDir>

namespace OVSelfTest {

std::unique_ptr<OVStore> openGroupStore(OVTestRun& run, const QString& folder, const QString& name)
{
    try {
        return std::make_unique<OVStore>(QDir(folder).filePath(name));
    } catch (...) {
        run.check(false, QStringLiteral("store opens"));
        return nullptr;
    }
}

} // namespace OVSelfTest
