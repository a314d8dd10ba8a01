#pragma once
// How a self-check line names a failure: the user's text of an OVError (its what()
// is that text in UTF-8), the message of any other exception, "unknown error" for
// anything else. One helper for every group.

#include <QString>

#include <exception>

namespace OVSelfTest {

QString errorText(const std::exception& error);
QString errorText(const std::exception_ptr& error);

} // namespace OVSelfTest
