// The texts of the about box (TVerForm), written once for every front end.
#pragma once

namespace qm {

inline constexpr const char* kVerCaption = "Quillmoorのバージョン情報";
inline constexpr const char* kVerProductName = "Ｑｕｉｌｌｍｏｏｒ";
inline constexpr const char* kVerVersion = "Version 0.3.9";
inline constexpr const char* kVerCopyright = "Copyright (C) Quillmoor developers";

}  // namespace qm
