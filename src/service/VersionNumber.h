#pragma once

#include <QString>

// Release numbers as the vendor's service announces them: numbers separated
// by dots, compared number by number, so 1.10 comes after 1.9 and 1.3 is the
// same release as 1.3.0.
namespace VersionNumber {

// Whether latest names a later release than running. A text that is not
// such a number (empty, "1.4-beta", "new") offers nothing: false.
bool IsNewerVersion(const QString& latest, const QString& running);

} // namespace VersionNumber
