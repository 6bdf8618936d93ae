#pragma once
// The core keeps every text in UTF-8; Qt wants QString.
#include <QString>
#include <string>

namespace tivolan {
inline QString Q(const std::string& text) { return QString::fromStdString(text); }
inline QString Q(const char* text) { return QString::fromUtf8(text); }
inline std::string S(const QString& text) { return text.toStdString(); }
}  // namespace tivolan
