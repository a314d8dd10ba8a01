#include "modes/SelfTestErrors.h"

namespace OVSelfTest {

QString errorText(const std::exception& error)
{
    return QString::fromUtf8(error.what());
}

QString errorText(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return errorText(e);
    } catch (...) {
        return QStringLiteral("unknown error");
    }
}

} // namespace OVSelfTest
