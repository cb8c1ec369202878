#pragma once
// Where users send error reports: shown in the error window's notice and
// captions and used by its mail and web page actions.

namespace qm {

inline constexpr const char* kSupportMailAddress = "support@dorvane.example";
inline constexpr const char* kSupportPageAddress = "https://quillmark.dorvane.example/support";
inline constexpr const char* kSupportHostName = "quillmark.dorvane.example";

}  // namespace qm
