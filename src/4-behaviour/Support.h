#pragma once
// Where users send error reports: shown in the error window's notice and
// captions and used by its mail and web page actions.

// Set when the program is built: QM_SUPPORT_EMAIL, QM_SUPPORT_URL and
// QM_SUPPORT_HOST in CMake's cache.
#include "SupportConfig.h"

namespace qm {

inline constexpr const char* kSupportMailAddress = QM_SUPPORT_EMAIL;
inline constexpr const char* kSupportPageAddress = QM_SUPPORT_URL;
inline constexpr const char* kSupportHostName = QM_SUPPORT_HOST;

}  // namespace qm
