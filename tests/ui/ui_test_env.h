// Private QUIRVANE_HOME and XDG folders for a Qt Test program; call before creating any window.
#pragma once
#include <QDir>
#include <QTemporaryDir>
#include <QtGlobal>

namespace qv::test {

inline const QTemporaryDir& UsePrivateDirs() {
  static QTemporaryDir root;
  static const bool done = [] {
    for (const char* sub : {"home", "config", "data", "cache", "runtime"}) QDir(root.path()).mkpath(sub);
    qputenv("QUIRVANE_HOME", (root.path() + "/home").toUtf8());
    qputenv("XDG_CONFIG_HOME", (root.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (root.path() + "/data").toUtf8());
    qputenv("XDG_CACHE_HOME", (root.path() + "/cache").toUtf8());
    qputenv("XDG_RUNTIME_DIR", (root.path() + "/runtime").toUtf8());
    QFile::setPermissions(root.path() + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return true;
  }();
  (void)done;
  return root;
}

}  // namespace qv::test
