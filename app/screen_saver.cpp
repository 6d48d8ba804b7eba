#include "screen_saver.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

namespace kvt::app {

namespace {

QDBusInterface screen_saver() {
  return QDBusInterface(QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
                        QStringLiteral("org.freedesktop.ScreenSaver"), QDBusConnection::sessionBus());
}

}  // namespace

void ScreenSaverInhibitor::keep_awake(bool awake) {
  if (awake == cookie_.has_value()) return;
  if (!QDBusConnection::sessionBus().isConnected()) return;
  QDBusInterface service = screen_saver();
  if (awake) {
    const QDBusReply<unsigned> reply =
        service.call(QStringLiteral("Inhibit"), QStringLiteral("kvt97"), QStringLiteral("Playing music"));
    if (reply.isValid()) cookie_ = reply.value();
  } else {
    service.call(QStringLiteral("UnInhibit"), *cookie_);
    cookie_.reset();
  }
}

ScreenSaverInhibitor::~ScreenSaverInhibitor() { keep_awake(false); }

}  // namespace kvt::app
