// Platform choice: each candidate is checked the way Qt would fail on it, without Qt.
#include "frontends/qt/display_choice.h"

#include <QDir>
#include <QLibraryInfo>
#include <QStringList>
#include <cstdlib>
#include <string_view>

#ifdef QUILLMOOR_QT_X11
#include <xcb/xcb.h>
#endif

namespace qm::qt {
namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? v : "";
}

// Platform plugins live in <plugins>/platforms, and QT_PLUGIN_PATH adds folders to search.
bool PluginPresent(const std::string& name) {
  QStringList dirs;
  const QString explicitDir = QString::fromLocal8Bit(Env("QT_QPA_PLATFORM_PLUGIN_PATH"));
  if (!explicitDir.isEmpty()) dirs << explicitDir;
  for (const QString& p :
       QString::fromLocal8Bit(Env("QT_PLUGIN_PATH")).split(':', Qt::SkipEmptyParts)) {
    dirs << p + "/platforms";
  }
  dirs << QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms";
  const QString pattern = "libq" + QString::fromStdString(name) + "*.so";
  for (const QString& d : dirs) {
    if (!QDir(d).entryList({pattern}, QDir::Files).isEmpty()) return true;
  }
  return false;
}

bool CanOpenX11(const std::string& displayName) {
  if (displayName.empty()) return false;
#ifdef QUILLMOOR_QT_X11
  xcb_connection_t* c = xcb_connect(displayName.c_str(), nullptr);
  const bool ok = xcb_connection_has_error(c) == 0;
  xcb_disconnect(c);
  return ok;
#else
  return true;
#endif
}

bool Usable(const std::string& name) {
  if (name == "xcb") return PluginPresent(name) && CanOpenX11(Env("DISPLAY"));
  if (name.rfind("wayland", 0) == 0) return !Env("WAYLAND_DISPLAY").empty() && PluginPresent(name);
  return !name.empty() && PluginPresent(name);
}

}  // namespace

std::string ChooseQtPlatform() {
  const std::string requested = Env("QT_QPA_PLATFORM");
  if (!requested.empty()) {
    size_t start = 0;
    while (start <= requested.size()) {
      size_t end = requested.find(';', start);
      if (end == std::string::npos) end = requested.size();
      const std::string entry = requested.substr(start, end - start);
      if (Usable(entry.substr(0, entry.find(':')))) return entry;
      start = end + 1;
    }
    return "";
  }
  if (Usable("xcb")) return "xcb";
  if (Usable("wayland")) return "wayland";
  return "";
}

}  // namespace qm::qt
